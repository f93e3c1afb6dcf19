// Where the calculator finds its pictures and keeps config.cfg. A program that finds pictures
// installed beside it (PREFIX/bin/tessel and PREFIX/share/tessel/tex, under any prefix)
// always uses them, wherever it is started, and keeps config.cfg in the user's configuration
// folder, $XDG_CONFIG_HOME/tessel or ~/.config/tessel. A program with no pictures beside it
// (run from its build tree, as scripts/run does) works in the working folder when that holds
// tex/, as it always has, and otherwise looks for installed pictures in $XDG_DATA_DIRS.
#pragma once

#include <functional>
#include <string>

struct Folders {
    std::string pictures; // the folder holding tex/; empty for the working folder
    std::string config;   // the folder to keep config.cfg in; empty for the working one
    // False when no configuration folder can be used: the program runs with the defaults
    // and writes nothing.
    bool configUsable = true;
};

// What the choice looks at of the file system: whether a path is a folder, and whether
// anything (a file, a folder, a link, even a dangling one) has that name.
struct FileSystemView {
    std::function<bool(const std::string&)> isFolder, exists;
};

// The choice, from what there is: whether the working folder holds tex/, the program's own
// path, the environment's XDG_CONFIG_HOME, HOME and XDG_DATA_DIRS (each may be null).
Folders ChooseFolders(bool picturesHere, const std::string& program, const char* xdgConfigHome,
                      const char* home, const char* xdgDataDirs, const FileSystemView& files);

// Where the memory register is kept between sessions: beside config.cfg for a program run
// from its build tree (an empty folder: the working one), and in the user's state folder,
// $XDG_STATE_HOME/tessel or ~/.local/state/tessel, for an installed one. False when no state
// folder can be used: nothing is kept then.
bool ChooseStateFolder(const Folders& folders, const char* xdgStateHome, const char* home,
                       const FileSystemView& files, std::string& folder);

// Makes the choice for this process: creates the configuration folder when missing and works
// in it, and points the texture loader at the installed pictures. Where no configuration
// folder can be used, says so in one line on stderr and clears ConfigFileUsed.
void UseFolders();

// Whether config.cfg is read (and written with the defaults); false when UseFolders found no
// folder to keep it in.
extern bool ConfigFileUsed;
// The file the memory register is kept in, as UseFolders chose it; empty when none is kept.
extern std::string StateFilePath;
