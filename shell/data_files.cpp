// Data-file lookup: the working directory, then the installed copy beside the program.
#include "shell/data_files.h"

#include <unistd.h>

#include <filesystem>
#include <string_view>

// OSDEX_DATA_FROM_BIN, set by the build: the data folder relative to the programs' folder as
// the package installs them ("../share/osdex-eval-kit").

namespace {

bool Exists(const std::string& path) {
    return !path.empty() && access(path.c_str(), F_OK) == 0;
}

}  // namespace

std::string Running_Program_Path() {
    std::string path(4096, '\0');
    const ssize_t length = readlink("/proc/self/exe", path.data(), path.size());
    if (length <= 0 || static_cast<std::size_t>(length) >= path.size()) return {};
    path.resize(static_cast<std::size_t>(length));
    // A program replaced by a package upgrade while it runs: its files are the new ones, at
    // the same place.
    constexpr std::string_view deleted = " (deleted)";
    if (path.ends_with(deleted)) path.resize(path.size() - deleted.size());
    return path;
}

std::string Installed_Data_Folder(const std::string& program_path) {
    const std::filesystem::path program(program_path);
    if (!program.has_parent_path()) return {};
    return (program.parent_path() / OSDEX_DATA_FROM_BIN).lexically_normal().string();
}

std::string Find_Data_File(const std::string& name, const std::string& program_path) {
    if (Exists(name)) return name;
    const std::string folder = Installed_Data_Folder(program_path);
    if (folder.empty()) return name;
    const std::string installed = (std::filesystem::path(folder) / name).string();
    return Exists(installed) ? installed : name;
}

std::string Find_Data_File(const std::string& name) {
    return Find_Data_File(name, Running_Program_Path());
}
