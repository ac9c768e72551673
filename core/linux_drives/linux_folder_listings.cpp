// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/linux_drives/linux_folder_listings.hpp"

#include <dirent.h>
#include <sys/stat.h>

#include <cerrno>
#include <memory>

#include "core/ascii_text.hpp"
#include "core/posix_files/posix_host_path.hpp"
#include "core/posix_files/posix_temporary_files.hpp"

namespace kelmor::linux_drives {

namespace {

struct DirectoryCloser {
    void operator()(DIR* directory) const { closedir(directory); }
};

// Folder and name of a host path; nothing for a path without a slash.
std::optional<std::pair<std::string, std::string>> splitHostPath(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos || slash + 1 == path.size()) return std::nullopt;
    return std::pair{slash == 0 ? std::string("/") : path.substr(0, slash), path.substr(slash + 1)};
}

}  // namespace

FolderListings::Listing& FolderListings::listingOf(const std::string& folder) {
    if (const auto known = folders_.find(folder); known != folders_.end()) return known->second;
    Listing& listing = folders_[folder];
    const std::unique_ptr<DIR, DirectoryCloser> directory(opendir(folder.c_str()));
    if (!directory) {
        listing.error = {errno, std::generic_category()};
        return listing;
    }
    errno = 0;
    while (const dirent* entry = readdir(directory.get()))
        listing.names.emplace_back(entry->d_name);
    if (errno != 0) listing.error = {errno, std::generic_category()};
    posix_files::removeStaleTemporaryFiles(folder, listing.names);
    return listing;
}

const std::vector<std::string>& FolderListings::names(const std::string& folder,
                                                      std::error_code& error) {
    const Listing& listing = listingOf(folder);
    error = listing.error;
    return listing.names;
}

std::optional<std::string> FolderListings::match(const std::string& folder, std::string_view name,
                                                 std::error_code& error) {
    struct stat status {};
    if (lstat(posix_files::joinHostPath(folder, name).c_str(), &status) == 0)
        return std::string(name);
    if (errno != ENOENT) {
        error = {errno, std::generic_category()};
        return std::nullopt;
    }
    Listing& listing = listingOf(folder);
    auto [answer, asked] = listing.answers.try_emplace(lowerAscii(name));
    if (asked) {
        const auto index = posix_files::matchingName(listing.names, name);
        if (index) answer->second = listing.names[*index];
    }
    if (answer->second) return answer->second;
    error =
        listing.error ? listing.error : std::make_error_code(std::errc::no_such_file_or_directory);
    return std::nullopt;
}

void FolderListings::added(const std::string& hostPath) {
    const auto parts = splitHostPath(hostPath);
    if (!parts) return;
    const auto known = folders_.find(parts->first);
    if (known == folders_.end() || known->second.error) return;
    known->second.names.push_back(parts->second);
    known->second.answers.erase(lowerAscii(parts->second));
}

// Another spelling of the same name may remain: the folder is read again
// when next asked for.
void FolderListings::removed(const std::string& hostPath) {
    if (const auto parts = splitHostPath(hostPath)) folders_.erase(parts->first);
}

}  // namespace kelmor::linux_drives
