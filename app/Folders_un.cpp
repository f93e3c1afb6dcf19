#include "Folders_un.h"

#include "config/Statefile_un.h"
#include "textures/Texloading_un.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <system_error>

#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

bool ConfigFileUsed = true;
std::string StateFilePath = StateFileName;

namespace {

constexpr const char* PictureFolder = "tex";
constexpr const char* InstalledData = "../share/tessel"; // from the program's folder
constexpr const char* DataSubfolder = "tessel";
constexpr const char* ConfigSubfolder = "tessel";
constexpr const char* StateSubfolder = "tessel";
constexpr const char* DefaultDataDirs = "/usr/local/share/:/usr/share/";

// The folder holding installed pictures: beside the program, or in the data folders.
std::string InstalledPictures(bool picturesHere, const std::string& program,
                              const char* xdgDataDirs, const FileSystemView& files) {
    if (!program.empty()) {
        const fs::path data = (fs::path(program).parent_path() / InstalledData).lexically_normal();
        if (files.isFolder((data / PictureFolder).string())) return data.string();
    }
    // A program with no pictures beside it is one in its build tree: started where its
    // pictures are, it uses them.
    if (picturesHere) return {};
    std::istringstream dirs(xdgDataDirs != nullptr && *xdgDataDirs != '\0' ? xdgDataDirs
                                                                           : DefaultDataDirs);
    for (std::string dir; std::getline(dirs, dir, ':');) {
        if (!fs::path(dir).is_absolute()) continue; // as the XDG base directory rules require
        const fs::path data = (fs::path(dir) / DataSubfolder).lexically_normal();
        if (files.isFolder((data / PictureFolder).string())) return data.string();
    }
    return {};
}

// A folder of the XDG base directory rules: the one the variable names, when absolute (a
// relative one is ignored, as the rules require), else the fallback under an absolute HOME
// that is a folder; empty when neither is.
fs::path XdgFolder(const char* variable, const char* home, const char* fallback,
                   const FileSystemView& files) {
    if (variable != nullptr && fs::path(variable).is_absolute()) return variable;
    if (home != nullptr && fs::path(home).is_absolute() && files.isFolder(home))
        return fs::path(home) / fallback;
    return {};
}

} // namespace

Folders ChooseFolders(bool picturesHere, const std::string& program, const char* xdgConfigHome,
                      const char* home, const char* xdgDataDirs, const FileSystemView& files) {
    Folders f;
    f.pictures = InstalledPictures(picturesHere, program, xdgDataDirs, files);
    if (f.pictures.empty()) return f; // the working folder, for both
    // A folder that is there, or can be made: not a file, nor a link to nothing.
    auto usable = [&](const fs::path& p) {
        return files.isFolder(p.string()) || !files.exists(p.string());
    };
    const fs::path base = XdgFolder(xdgConfigHome, home, ".config", files);
    if (base.empty() || !usable(base) || !usable(base / ConfigSubfolder)) {
        f.configUsable = false;
        return f;
    }
    f.config = (base / ConfigSubfolder).string();
    return f;
}

bool ChooseStateFolder(const Folders& folders, const char* xdgStateHome, const char* home,
                       const FileSystemView& files, std::string& folder) {
    if (folders.pictures.empty()) {
        folder = folders.config; // the working folder, beside config.cfg
        return folders.configUsable;
    }
    const fs::path base = XdgFolder(xdgStateHome, home, ".local/state", files);
    if (base.empty()) return false;
    folder = (base / StateSubfolder).string();
    return true;
}

namespace {

// Creates a folder and those above it, for the user alone; false when one cannot be made.
bool MakeFolders(const std::string& folder) {
    fs::path made;
    for (const fs::path& part : fs::path(folder)) {
        made /= part;
        if (mkdir(made.c_str(), 0700) != 0 && errno != EEXIST) return false;
    }
    return true;
}

} // namespace

void UseFolders() {
    std::error_code ec;
    const bool picturesHere = fs::is_directory(PictureFolder, ec);
    const fs::path program = fs::read_symlink("/proc/self/exe", ec);
    const FileSystemView files{[](const std::string& path) {
                                   std::error_code e;
                                   return fs::is_directory(path, e);
                               },
                               [](const std::string& path) {
                                   struct stat st;
                                   return lstat(path.c_str(), &st) == 0;
                               }};
    const Folders folders = ChooseFolders(picturesHere, ec ? std::string() : program.string(),
                                          std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"),
                                          std::getenv("XDG_DATA_DIRS"), files);
    if (!folders.pictures.empty()) SetPictureFolder(folders.pictures);
    bool usable = folders.configUsable;
    if (usable && !folders.config.empty()) {
        // Created for the user alone, as configuration folders are.
        usable = MakeFolders(folders.config) && chdir(folders.config.c_str()) == 0;
    }
    std::string state;
    if (ChooseStateFolder(folders, std::getenv("XDG_STATE_HOME"), std::getenv("HOME"), files,
                          state) &&
        (state.empty() || MakeFolders(state)))
        StateFilePath = state.empty() ? StateFileName : (fs::path(state) / StateFileName).string();
    else {
        StateFilePath.clear();
        std::fprintf(stderr, "tessel: no folder to keep the memory in (set HOME or "
                             "XDG_STATE_HOME to one); it is not kept\n");
    }
    if (!usable) {
        ConfigFileUsed = false;
        std::fprintf(stderr, "tessel: no folder to keep config.cfg in (set HOME or "
                             "XDG_CONFIG_HOME to one); running with the defaults\n");
    }
}
