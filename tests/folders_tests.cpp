#include "app/Folders_un.h"

#include <gtest/gtest.h>

#include <set>

namespace {

// A file system of the folders given.
auto Having(std::set<std::string> folders) {
    return [folders](const std::string& path) { return folders.count(path) > 0; };
}

} // namespace

TEST(Folders, AFolderWithTexWorksAsItAlwaysHas) {
    const Folders f = ChooseFolders(true, "/usr/bin/tessel", "/home/u/.cfg", "/home/u",
                                    Having({"/usr/share/tessel/tex"}));
    EXPECT_EQ(f.pictures, "");
    EXPECT_EQ(f.config, "");
}

TEST(Folders, AnInstalledProgramFindsItsPicturesUnderAnyPrefix) {
    for (const char* prefix : {"/usr", "/opt/tessel", "/tmp/x/root/usr/local"}) {
        const std::string p = prefix;
        const Folders f = ChooseFolders(false, p + "/bin/tessel", nullptr, "/home/u",
                                        Having({p + "/share/tessel/tex"}));
        EXPECT_EQ(f.pictures, p + "/share/tessel") << prefix;
        EXPECT_EQ(f.config, "/home/u/.config/tessel") << prefix;
    }
}

TEST(Folders, ConfigGoesToTheUsersConfigurationFolder) {
    auto config = [](const char* xdg, const char* home) {
        return ChooseFolders(false, "/usr/bin/tessel", xdg, home, Having({"/usr/share/tessel/tex"}))
            .config;
    };
    EXPECT_EQ(config("/home/u/.cfg", "/home/u"), "/home/u/.cfg/tessel");
    EXPECT_EQ(config(nullptr, "/home/u"), "/home/u/.config/tessel");
    // A relative or empty XDG_CONFIG_HOME does not count.
    EXPECT_EQ(config("", "/home/u"), "/home/u/.config/tessel");
    EXPECT_EQ(config("cfg", "/home/u"), "/home/u/.config/tessel");
    // With no home at all, the working folder stays.
    EXPECT_EQ(config(nullptr, nullptr), "");
}

TEST(Folders, WithoutAnInstallationTheWorkingFolderStays) {
    // A build's program started elsewhere: nothing installed beside it.
    const Folders f = ChooseFolders(false, "/src/build/tessel", nullptr, "/home/u", Having({}));
    EXPECT_EQ(f.pictures, "");
    EXPECT_EQ(f.config, "");
    EXPECT_EQ(ChooseFolders(false, "", nullptr, "/home/u", Having({})).config, "");
}
