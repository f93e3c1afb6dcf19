// The kept memory's file: what the reader makes of any text, and what is left on disk when
// the file is damaged, replaced by something else, or written anew.
#include "config/Statefile_un.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <functional>

#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

TEST(StateFile, WhatItWritesReadsBackExactlyAndNothingElseIsTaken) {
    for (double memory : {0.0, 5.0, -0.1, 1234567890.123456, 9999999999.0, 1e-15}) {
        double read = -1;
        std::string why;
        EXPECT_TRUE(ParseState(StateText(memory), read, why)) << memory << ": " << why;
        EXPECT_EQ(read, memory);
    }
    struct {
        std::string text;
        const char* why; // empty for a good text
        double memory;
    } cases[] = {
        {"MEMORY=12.5", "", 12.5},                   // no heading, no line end
        {"# a note\r\n\n  MEMORY=-3\t\r\n", "", -3}, // written elsewhere, CRLF
        {"MEMORY=-0", "", 0},
        {"", "holds no memory", 0},
        {"# only a note\n", "holds no memory", 0},
        {"MEMORY=1\nMEMORY=2\n", "is damaged", 0},
        {"MEMORY=", "is damaged", 0},
        {"MEMORY=12,5", "is damaged", 0},
        {"MEMORY=1e400", "is damaged", 0},
        {"MEMORY=nan", "is damaged", 0},
        {"MEMORY=inf", "is damaged", 0},
        {"MEMORY=10000000000", "is damaged", 0},
        {"memory=5", "is damaged", 0},
        {std::string("MEMORY=5\0junk", 13), "is damaged", 0},
        {"\x89PNG\r\n\x1a\n\xff\xfe", "is damaged", 0},
        {std::string(MaxStateBytes + 1, '#'), "is too long", 0},
    };
    for (const auto& c : cases) {
        double read = 99;
        std::string why;
        const bool good = ParseState(c.text, read, why);
        EXPECT_EQ(good, *c.why == '\0') << c.text.substr(0, 40);
        EXPECT_EQ(why, c.why) << c.text.substr(0, 40);
        if (good) {
            EXPECT_EQ(read, c.memory);
        }
    }
}

class StateFileOnDisk : public TempDirTest {};

TEST_F(StateFileOnDisk, ABadFileIsNoMemoryAndTheNextWriteReplacesItWhereItCan) {
    WriteFile("elsewhere", "MEMORY=7\n");
    struct {
        const char* what;
        std::function<void()> make;
        bool replaced; // by the next write
    } cases[] = {
        {"none", [] {}, true},
        {"random bytes", [] { WriteFile(StateFileName, "\x01\x02garbage\xff"); }, true},
        {"megabytes", [] { WriteFile(StateFileName, std::string(3 << 20, 'M')); }, true},
        {"a link", [] { fs::create_symlink("elsewhere", StateFileName); }, true},
        {"a FIFO", [] { mkfifo(StateFileName, 0600); }, true},
        {"a folder", [] { fs::create_directory(StateFileName); }, false},
    };
    for (const auto& c : cases) {
        fs::remove_all(StateFileName);
        c.make();
        EXPECT_EQ(ReadState(StateFileName), 0) << c.what;
        EXPECT_EQ(WriteState(StateFileName, 42.5), c.replaced) << c.what;
        EXPECT_EQ(ReadState(StateFileName), c.replaced ? 42.5 : 0) << c.what;
        // A link is replaced, not followed; no temporary file is left.
        EXPECT_EQ(ReadFile("elsewhere"), "MEMORY=7\n") << c.what;
        EXPECT_EQ(std::distance(fs::directory_iterator("."), fs::directory_iterator()), 2)
            << c.what;
    }
}
