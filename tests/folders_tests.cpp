#include "app/Folders_un.h"

#include <gtest/gtest.h>

#include <set>

namespace {

// A file system of the folders given, and of other names (files, links) that are there.
FileSystemView Having(std::set<std::string> folders, std::set<std::string> others = {}) {
    return {[folders](const std::string& path) { return folders.count(path) > 0; },
            [folders, others](const std::string& path) {
                return folders.count(path) > 0 || others.count(path) > 0;
            }};
}

const std::set<std::string> Installed = {"/usr/share/tessel/tex", "/home/u", "/home/u/.config"};

} // namespace

TEST(Folders, ABuildTreesProgramStartedWhereItsPicturesAreWorksThere) {
    const Folders f =
        ChooseFolders(true, "/src/build/tessel", nullptr, "/home/u", nullptr, Having(Installed));
    EXPECT_EQ(f.pictures, "");
    EXPECT_EQ(f.config, "");
    EXPECT_TRUE(f.configUsable);
}

// Started from the menu in a home folder that holds a tex/ of the user's own.
TEST(Folders, AnInstalledProgramUsesItsOwnPicturesWhereverItIsStarted) {
    for (bool texHere : {false, true}) {
        const Folders f = ChooseFolders(texHere, "/usr/bin/tessel", nullptr, "/home/u", nullptr,
                                        Having(Installed));
        EXPECT_EQ(f.pictures, "/usr/share/tessel") << texHere;
        EXPECT_EQ(f.config, "/home/u/.config/tessel") << texHere;
    }
}

TEST(Folders, AnInstalledProgramFindsItsPicturesUnderAnyPrefix) {
    for (const char* prefix : {"/usr", "/opt/tessel", "/tmp/x/root/usr/local"}) {
        const std::string p = prefix;
        const Folders f = ChooseFolders(false, p + "/bin/tessel", nullptr, "/home/u", nullptr,
                                        Having({p + "/share/tessel/tex", "/home/u"}));
        EXPECT_EQ(f.pictures, p + "/share/tessel") << prefix;
        EXPECT_EQ(f.config, "/home/u/.config/tessel") << prefix;
    }
}

TEST(Folders, ConfigGoesToTheUsersConfigurationFolder) {
    auto config = [](const char* xdg, const char* home) {
        return ChooseFolders(false, "/usr/bin/tessel", xdg, home, nullptr, Having(Installed))
            .config;
    };
    EXPECT_EQ(config("/home/u/.cfg", "/home/u"), "/home/u/.cfg/tessel");
    EXPECT_EQ(config(nullptr, "/home/u"), "/home/u/.config/tessel");
    // A relative or empty XDG_CONFIG_HOME does not count.
    EXPECT_EQ(config("", "/home/u"), "/home/u/.config/tessel");
    EXPECT_EQ(config("cfg", "/home/u"), "/home/u/.config/tessel");
}

// Never the working folder for an installed program: with no folder to keep config.cfg in,
// it runs with the defaults.
TEST(Folders, WithNoUsableConfigurationFolderNothingIsKept) {
    auto usable = [](const char* xdg, const char* home, std::set<std::string> others = {}) {
        const Folders f =
            ChooseFolders(false, "/usr/bin/tessel", xdg, home, nullptr, Having(Installed, others));
        EXPECT_EQ(f.pictures, "/usr/share/tessel");
        return f.configUsable;
    };
    EXPECT_TRUE(usable(nullptr, "/home/u"));
    EXPECT_FALSE(usable(nullptr, nullptr));                          // HOME unset
    EXPECT_FALSE(usable(nullptr, ""));                               // empty
    EXPECT_FALSE(usable(nullptr, "/home/nobody"));                   // not a folder
    EXPECT_FALSE(usable(nullptr, "home/u"));                         // relative
    EXPECT_FALSE(usable("/home/u/cfg", "/home/u", {"/home/u/cfg"})); // a file, or a dangling link
    EXPECT_FALSE(
        usable(nullptr, "/home/u", {"/home/u/.config/tessel"})); // a file where the folder goes
    EXPECT_TRUE(usable("/home/u/new", "/home/u"));               // a folder still to be made
}

TEST(Folders, WithoutPicturesBesideItTheDataFoldersAreLookedIn) {
    const FileSystemView files =
        Having({"/opt/data/tessel/tex", "/usr/share/tessel/tex", "/home/u"});
    auto pictures = [&](bool texHere, const char* dataDirs) {
        return ChooseFolders(texHere, "/src/build/tessel", nullptr, "/home/u", dataDirs, files)
            .pictures;
    };
    EXPECT_EQ(pictures(false, "/opt/data:/usr/share"), "/opt/data/tessel");
    EXPECT_EQ(pictures(false, "relative:/usr/share/"), "/usr/share/tessel");
    EXPECT_EQ(pictures(false, nullptr), "/usr/share/tessel"); // the default folders
    EXPECT_EQ(pictures(false, "/nowhere"), "");
    // Started where its own pictures are, a build's program uses those.
    EXPECT_EQ(pictures(true, "/opt/data"), "");
    EXPECT_EQ(ChooseFolders(false, "", nullptr, "/home/u", "/nowhere", files).config, "");
}

TEST(Folders, TheMemoryIsKeptBesideTheConfigurationOrInTheUsersStateFolder) {
    const Folders buildTree{"", "", true}, installed{"/usr/share/tessel", "/home/u/.config/tessel"};
    struct {
        const Folders& folders;
        const char *xdgStateHome, *home;
        bool kept;
        const char* folder;
    } cases[] = {
        {buildTree, "/state", "/home/u", true, ""}, // the working folder, as config.cfg
        {installed, nullptr, "/home/u", true, "/home/u/.local/state/tessel"},
        {installed, "/state", "/home/u", true, "/state/tessel"},
        {installed, "state", "/home/u", true, "/home/u/.local/state/tessel"}, // relative: ignored
        {installed, nullptr, nullptr, false, ""},
        {installed, nullptr, "/nowhere", false, ""},
    };
    for (const auto& c : cases) {
        std::string folder;
        EXPECT_EQ(ChooseStateFolder(c.folders, c.xdgStateHome, c.home, Having(Installed), folder),
                  c.kept)
            << c.folders.pictures << " " << (c.home ? c.home : "-");
        if (c.kept) {
            EXPECT_EQ(folder, c.folder);
        }
    }
}
