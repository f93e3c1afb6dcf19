// Where the calculator finds its pictures and keeps config.cfg. Started in a folder that holds
// tex/ (a build folder, as scripts/run starts it) it works there, as it always has. Installed
// and started anywhere else, it takes the pictures installed beside its program
// (PREFIX/bin/tessel and PREFIX/share/tessel/tex, under any prefix) and keeps config.cfg in the
// user's configuration folder, $XDG_CONFIG_HOME/tessel or ~/.config/tessel.
#pragma once

#include <functional>
#include <string>

struct Folders {
    std::string pictures; // the folder holding tex/; empty for the working folder
    std::string config;   // the folder to work in, for config.cfg; empty for the working one
};

// The choice, from what there is: whether the working folder holds tex/, the program's own
// path, the environment's XDG_CONFIG_HOME and HOME (each may be null), and a test for folders.
Folders ChooseFolders(bool picturesHere, const std::string& program, const char* xdgConfigHome,
                      const char* home, const std::function<bool(const std::string&)>& isFolder);

// Makes the choice for this process: creates the configuration folder when missing and works
// in it, and points the texture loader at the installed pictures. Where the folder cannot be
// made, the working folder stays, as without an installation.
void UseFolders();
