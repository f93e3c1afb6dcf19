#include "Folders_un.h"

#include "textures/Texloading_un.h"

#include <cerrno>
#include <filesystem>
#include <system_error>

#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

constexpr const char* PictureFolder = "tex";
constexpr const char* InstalledData = "../share/tessel"; // from the program's folder
constexpr const char* ConfigSubfolder = "tessel";

} // namespace

Folders ChooseFolders(bool picturesHere, const std::string& program, const char* xdgConfigHome,
                      const char* home, const std::function<bool(const std::string&)>& isFolder) {
    if (picturesHere || program.empty()) return {};
    const fs::path data = (fs::path(program).parent_path() / InstalledData).lexically_normal();
    if (!isFolder((data / PictureFolder).string())) return {};
    // A relative XDG_CONFIG_HOME is ignored, as the XDG base directory rules require.
    fs::path base;
    if (xdgConfigHome != nullptr && fs::path(xdgConfigHome).is_absolute())
        base = xdgConfigHome;
    else if (home != nullptr && fs::path(home).is_absolute())
        base = fs::path(home) / ".config";
    else
        return {data.string(), {}};
    return {data.string(), (base / ConfigSubfolder).string()};
}

void UseFolders() {
    std::error_code ec;
    const bool picturesHere = fs::is_directory(PictureFolder, ec);
    const fs::path program = fs::read_symlink("/proc/self/exe", ec);
    const Folders folders = ChooseFolders(picturesHere, ec ? std::string() : program.string(),
                                          std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"),
                                          [](const std::string& path) {
                                              std::error_code e;
                                              return fs::is_directory(path, e);
                                          });
    if (!folders.pictures.empty()) SetPictureFolder(folders.pictures);
    if (folders.config.empty()) return;
    // Created for the user alone, as configuration folders are.
    fs::path made;
    for (const fs::path& part : fs::path(folders.config)) {
        made /= part;
        if (mkdir(made.c_str(), 0700) != 0 && errno != EEXIST) return;
    }
    if (chdir(folders.config.c_str()) != 0) return;
}
