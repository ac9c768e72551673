// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/linux_drives/linux_windows_path.hpp"

#include <sys/stat.h>

#include <cerrno>
#include <utility>

#include "core/ascii_text.hpp"
#include "core/linux_drives/linux_drive_map.hpp"
#include "core/linux_drives/linux_folder_listings.hpp"

namespace kelmor::linux_drives {

namespace {

std::error_code errnoCode(int number) { return {number, std::generic_category()}; }

// Whether a host path, its links followed, lies inside a drive's folder. A
// path whose links lead nowhere (a dangling link, a name still to be
// written) is judged by the folder that holds it; a drive folder that is
// not there holds nothing to escape from.
bool liesInside(const std::string& host, const std::string& root) {
    const auto folder = posix_files::realHostPath(root);
    if (!folder || *folder == "/") return true;
    auto real = posix_files::realHostPath(host);
    if (!real) {
        const std::size_t slash = host.rfind('/');
        if (slash == std::string::npos || slash == 0) return true;
        real = posix_files::realHostPath(host.substr(0, slash));
        if (!real) return true;
    }
    return *real == *folder || real->compare(0, folder->size() + 1, *folder + "/") == 0;
}

// A path found on a drive. A CD in a folder may hold links; one that leads
// out of the drive's folder names no file of the drive. C: is the whole
// file system: nothing lies outside it.
std::optional<std::string> foundOnDrive(std::string host, const std::string& root, PathUse use,
                                        std::error_code& error) {
    if (use != PathUse::Lenient && root != "/" && !liesInside(host, root)) {
        error = errnoCode(ENOENT);
        return std::nullopt;
    }
    error.clear();
    return host;
}

}  // namespace

std::optional<std::string> resolveWindowsPath(const DriveMap& drives, std::string_view windowsPath,
                                              PathUse use, std::error_code& error,
                                              FolderListings* listings) {
    const auto path = splitWindowsPath(windowsPath);
    const auto root = path ? drives.root(path->drive) : std::nullopt;
    if (!root) {
        error = errnoCode(ENOENT);
        return std::nullopt;
    }
    if (drives.image(path->drive)) {
        error = errnoCode(ENOTDIR);
        return std::nullopt;
    }

    // Where the path, or its folder, exists exactly as spelled, each of those
    // components is its own exact match: one look-up settles them.
    const std::size_t count = path->components.size();
    std::string folder = *root;
    for (std::size_t i = 0; i + 1 < count; ++i)
        folder = posix_files::joinHostPath(folder, path->components[i]);
    std::string host =
        count > 0 ? posix_files::joinHostPath(folder, path->components.back()) : folder;
    struct stat status {};
    if (lstat(host.c_str(), &status) == 0) return foundOnDrive(std::move(host), *root, use, error);
    // A drive whose folder is not there holds nothing: one look-up says so.
    if (stat(root->c_str(), &status) != 0 || !S_ISDIR(status.st_mode)) {
        if (use != PathUse::Lenient) {
            error = errnoCode(ENOENT);
            return std::nullopt;
        }
        return host;
    }
    std::size_t first = 0;
    host = *root;
    if (count >= 2 && stat(folder.c_str(), &status) == 0 && S_ISDIR(status.st_mode)) {
        first = count - 1;
        host = folder;
    }

    for (std::size_t i = first; i < count; ++i) {
        const std::string& component = path->components[i];
        std::error_code missing;
        const auto entry = listings ? listings->match(host, component, missing)
                                    : posix_files::matchFolderEntry(host, component, missing);
        if (entry) {
            host = posix_files::joinHostPath(host, *entry);
            continue;
        }
        const bool newName = use == PathUse::Destination && i + 1 == count;
        if (use == PathUse::Lenient || newName) {
            host = posix_files::joinHostPath(host, component);
            continue;
        }
        error = missing;
        return std::nullopt;
    }
    return foundOnDrive(std::move(host), *root, use, error);
}

std::string resolveWindowsPath(const DriveMap& drives, std::string_view windowsPath, PathUse use,
                               FolderListings* listings) {
    std::error_code error;
    auto host = resolveWindowsPath(drives, windowsPath, use, error, listings);
    if (!host) throw std::system_error(error, std::string(windowsPath));
    return std::move(*host);
}

std::string windowsPathOfHostPath(std::string_view hostPath) {
    std::string path = "C:";
    for (char c : hostPath) {
        const char mapped = c == '/' ? '\\' : c;
        if (mapped == '\\' && !path.empty() && path.back() == '\\') continue;
        path += mapped;
    }
    while (path.size() > 2 && path.back() == '\\') path.pop_back();
    return path;
}

std::optional<std::string> windowsPathProblem(std::string_view hostPath) {
    if (hostPath.find('\\') != std::string_view::npos)
        return "a backslash (\\), which separates folders in a Windows path, so the name would "
               "stand for another folder";
    if (hostPath.find_first_of("\r\n") != std::string_view::npos)
        return "a line end, which would break the lines of dosbox.conf that name the folder";
    if (hostPath.find('"') != std::string_view::npos)
        return "a double quote (\"), which would end the folder's name in dosbox.conf";
    return std::nullopt;
}

}  // namespace kelmor::linux_drives
