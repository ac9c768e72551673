// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/linux_drives/linux_image_files.hpp"

#include <sys/stat.h>

#include "core/posix_files/posix_error.hpp"
#include "core/posix_files/posix_host_path.hpp"

namespace kelmor::linux_drives {

// Each component in turn, spelled as it is in its folder; the path as given
// as soon as one is not there in any case.
std::string HostImageFiles::matchingFile(const std::string& path) {
    struct stat status {};
    if (path.empty() || lstat(path.c_str(), &status) == 0 || errno != ENOENT) return path;
    std::string found = path.front() == '/' ? "/" : ".";
    for (std::size_t start = 0; start < path.size();) {
        std::size_t end = path.find('/', start);
        if (end == std::string::npos) end = path.size();
        if (end > start) {
            std::error_code error;
            const auto name = posix_files::matchFolderEntry(
                found, std::string_view(path).substr(start, end - start), error);
            if (!name) return path;
            found = posix_files::joinHostPath(found, *name);
        }
        start = end + 1;
    }
    return found;
}

std::error_code HostImageFiles::noDisc() const { return {EMEDIUMTYPE, std::generic_category()}; }

}  // namespace kelmor::linux_drives
