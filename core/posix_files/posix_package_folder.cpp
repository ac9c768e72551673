// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/posix_files/posix_package_folder.hpp"

#include <filesystem>
#include <sstream>
#include <system_error>

#include "core/posix_files/posix_atomic_file.hpp"
#include "core/posix_files/posix_config_folder.hpp"
#include "core/posix_files/posix_host_path.hpp"

namespace kelmor::posix_files {

namespace {

// A name below a folder that stays below it: relative, without "." or "..".
bool staysBelow(std::string_view name) {
    if (name.empty() || name.front() == '/') return false;
    std::size_t start = 0;
    while (start <= name.size()) {
        const std::size_t end = std::min(name.find('/', start), name.size());
        const std::string_view part = name.substr(start, end - start);
        if (part.empty() || part == "." || part == "..") return false;
        start = end + 1;
    }
    return true;
}

// The layout file beside the programs; nothing where there is none or it
// cannot be read, and the folder is then the programs' own.
std::optional<std::string> layoutText(const std::string& programFolder) {
    try {
        return readWholeFile(joinHostPath(programFolder, kPackageLayoutName));
    } catch (const std::system_error&) {
        return std::nullopt;
    }
}

}  // namespace

std::optional<PackageLayout> packageLayoutOf(std::string_view text) {
    PackageLayout layout;
    std::istringstream lines{std::string(text)};
    for (std::string line; std::getline(lines, line);) {
        if (line.empty() || line.front() == '#') continue;
        const std::size_t blank = line.find(' ');
        const std::string key = line.substr(0, blank);
        const std::string value = blank == std::string::npos ? "" : line.substr(blank + 1);
        if (!staysBelow(value)) return std::nullopt;
        if (key == "home")
            layout.home = value;
        else if (key == "folder")
            layout.folders.push_back(value);
        else if (key == "link" && value.find('/') == std::string::npos)
            layout.links.push_back(value);
        else
            return std::nullopt;
    }
    if (layout.home.empty()) return std::nullopt;
    return layout;
}

void layOutUserFolder(const PackageLayout& layout, const std::string& packageFolder,
                      const std::string& folder) {
    namespace fs = std::filesystem;
    std::error_code ignored;
    fs::create_directories(folder, ignored);
    for (const std::string& name : layout.folders)
        fs::create_directory(joinHostPath(folder, name), ignored);
    for (const std::string& name : layout.links) {
        const std::string target = joinHostPath(packageFolder, name);
        const std::string link = joinHostPath(folder, name);
        // Anything there, or what cannot be looked at, stays; so does a name
        // the package lacks.
        std::error_code error;
        const bool taken = fs::symlink_status(link, error).type() != fs::file_type::not_found;
        if (taken || !fs::exists(target, error)) continue;
        fs::create_symlink(target, link, ignored);
    }
}

std::string applicationFolderFor(const std::string& programFolder, const std::string& home) {
    const auto text = layoutText(programFolder);
    const auto layout = text ? packageLayoutOf(*text) : std::nullopt;
    if (!layout) return programFolder;
    const std::string folder = joinHostPath(home, layout->home);
    layOutUserFolder(*layout, programFolder, folder);
    return folder;
}

std::string runningApplicationFolder() {
    std::string folder = realHostPath("/proc/self/exe").value_or("");
    if (!folder.empty()) {
        folder = std::filesystem::path(folder).parent_path().string();
    } else {
        std::error_code error;
        folder = std::filesystem::current_path(error).string();
        if (error) folder = "/";
    }
    return applicationFolderFor(folder, userHomeFolder());
}

}  // namespace kelmor::posix_files
