// What the screen reader's view says: key bindings, echoed key symbols, the card's text and
// the announcements after a key's command; and where its bridge finds the bus and its module.
#include "access/Access_un.h"
#include "access/Accesstext_un.h"

#include "engine/Matheng_un.h"
#include "scene/Keypad_un.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

TEST(AccessText, EveryKeyHasOneBindingAsTheDesktopWritesShortcuts) {
    const struct {
        int key;
        const char* binding;
    } cases[] = {{7, "7"},
                 {BtnPlus, "plus"},
                 {BtnMinus, "minus"},
                 {BtnMult, "asterisk"},
                 {BtnDivision, "slash"},
                 {BtnEqual, "equal"},
                 {BtnPoint, "comma"},
                 {BtnPlusMinus, "F9"},
                 {BtnCE, "Delete"},
                 {BtnC, "Escape"},
                 {BtnMC, "<Control>l"},
                 {BtnMPlus, "<Control>p"}};
    for (const auto& c : cases) EXPECT_EQ(KeyBindingOf(c.key), c.binding) << c.key;
    std::set<std::string> all;
    for (int k = 0; k < KeyCount; ++k) all.insert(KeyBindingOf(k));
    EXPECT_EQ(all.size(), std::size_t{KeyCount});
    EXPECT_EQ(all.count(""), 0u);
    EXPECT_EQ(KeyBindingOf(-1), "");
    EXPECT_EQ(KeyBindingOf(KeyCount), "");
}

TEST(AccessText, TypedKeysAreEchoedAsKeyboardSymbols) {
    const struct {
        std::uint16_t key;
        char32_t typed;
        std::uint32_t keysym;
    } cases[] = {
        {'7', U'7', 0x37},         {VK_ADD, U'+', 0x2b},   {'A', 0, 0x61}, // Ctrl+A types none
        {0, U'\u00e9', 0xe9},      {0, U'\u00f7', 0xf7}, // Latin-1 is its own symbol
        {0, U'\u2212', 0x1002212}, {VK_RETURN, 0, 0xff0d}, {VK_F9, 0, 0xffc6},
        {VK_LEFT, 0, 0xff51},      {VK_ESCAPE, 0, 0xff1b}, {VK_SHIFT, 0, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(KeysymOf(c.key, c.typed), c.keysym) << c.key << " " << int(c.typed);
    EXPECT_EQ(ModifierMaskOf(ssShift | ssCtrl), 5u);
    EXPECT_EQ(ModifierMaskOf(ssAlt), 8u);
    EXPECT_EQ(ModifierMaskOf(ssLeft), 0u);
}

TEST(AccessText, TheCardReadsAsOneLineForEachShortcut) {
    const std::string card = CardText();
    for (const char* line : {"0\u20139: digits\n", "Ctrl+L R P: MC MR M+\n", "= or Enter: equals\n",
                             "F1: this card\n", "Home: first view"})
        EXPECT_NE(card.find(line), std::string::npos) << line;
    for (const KeypadKey& k : Keypad) EXPECT_NE(card.find(k.cardLine), std::string::npos);
    EXPECT_NE(card.back(), '\n');
}

TEST(AccessText, ResultsErrorsAndTheMemoryAreAnnouncedButNotDigits) {
    const struct {
        PressOutcome press;
        const char* spoken;
    } cases[] = {
        {{7, "1", "17", 0, 0, false}, ""},
        {{BtnPlus, "17", "17", 0, 0, false}, ""},
        {{BtnEqual, "17", "42", 0, 0, false}, "42"},
        {{BtnEqual, "42", "42", 0, 0, false}, "42"}, // said again though nothing changed
        {{BtnEqual, "5", DivideByZeroText, 0, 0, true}, DivideByZeroText},
        {{BtnMult, "9999999999", OverflowText, 0, 0, true}, OverflowText},
        {{7, OverflowText, OverflowText, 0, 0, true}, ""}, // keys on an error say nothing new
        {{BtnMR, "0", "12,5", 12.5, 12.5, false}, "12,5"},
        {{BtnMPlus, "3", "3", 4, 7, false}, "Memory 7"},
        {{BtnMPlus, "0", "0", 4, 4, false}, ""},
        {{BtnMC, "3", "3", 4, 0, false}, "Memory cleared"},
        {{BtnMC, "3", "3", 0, 0, false}, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(AnnouncementOf(c.press), c.spoken) << c.press.key << " " << c.press.after;
    EXPECT_EQ(DisplayDescription(true), "Memory in use");
    EXPECT_EQ(DisplayDescription(false), "");
}

TEST(AccessBridge, TheSessionBusIsTheOneNamedOrTheSocketInTheRuntimeFolderNeverAStartedOne) {
    const std::string runtime = testing::TempDir() + "access-runtime";
    const std::string plain = testing::TempDir() + "access-plain";
    std::filesystem::create_directories(runtime);
    std::filesystem::create_directories(plain);
    std::ofstream(plain + "/bus") << "not a socket";
    const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un where{};
    where.sun_family = AF_UNIX;
    const std::string socketPath = runtime + "/bus";
    unlink(socketPath.c_str());
    socketPath.copy(where.sun_path, sizeof where.sun_path - 1);
    ASSERT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&where), sizeof where), 0);
    const struct {
        const char *address, *runtime;
        std::string expected;
    } cases[] = {
        {"unix:path=/run/a", runtime.c_str(), "unix:path=/run/a"},
        {"", runtime.c_str(), "unix:path=" + socketPath},
        {nullptr, runtime.c_str(), "unix:path=" + socketPath},
        {nullptr, plain.c_str(), ""}, // a file that is no socket
        {nullptr, "/nonexistent", ""},
        {nullptr, "", ""},
        {nullptr, nullptr, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SessionBusAddress(c.address, c.runtime), c.expected)
            << (c.address ? c.address : "null") << " " << (c.runtime ? c.runtime : "null");
    close(fd);
}

TEST(AccessBridge, TheModuleIsFoundBesideTheProgramOrInItsInstalledLibraryFolder) {
    const std::string beside = "/p/bin/tessel-access.so";
    const std::string installed =
        (std::filesystem::path("/p/bin") / TESSEL_ACCESS_MODULE_FOLDER / "tessel-access.so")
            .lexically_normal()
            .string();
    const struct {
        std::string program;
        std::set<std::string> files;
        std::string expected;
    } cases[] = {
        {"/p/bin/tessel", {beside}, beside},
        {"/p/bin/tessel", {installed}, installed},
        {"/p/bin/tessel", {beside, installed}, beside}, // a build tree's own comes first
        {"/p/bin/tessel", {"/usr/lib/tessel-access.so"}, ""},
        {"", {beside}, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(AccessModulePath(
                      c.program, [&](const std::string& path) { return c.files.count(path) > 0; }),
                  c.expected)
            << c.program;
    EXPECT_TRUE(installed.starts_with("/p/lib/")) << installed;
}
