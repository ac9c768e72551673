// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/posix/image_files.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

#include "core/posix/file_descriptor.hpp"
#include "core/posix/posix_error.hpp"
#include "core/posix/windows_path.hpp"

namespace kelmor::posix {

std::string readRegularFileBytes(const std::string& path, std::uint64_t offset, std::size_t count) {
    const FileDescriptor file(open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    struct stat status {};
    if (file.get() < 0 || fstat(file.get(), &status) != 0) throwErrno(path);
    if (S_ISDIR(status.st_mode)) throwError(EISDIR, path);
    if (!S_ISREG(status.st_mode)) throwError(EINVAL, path + " is not a regular file");
    const auto size = static_cast<std::uint64_t>(status.st_size);
    std::string bytes(offset < size ? static_cast<std::size_t>(std::min<std::uint64_t>(count, size - offset)) : 0,
                      '\0');
    std::size_t got = 0;
    while (got < bytes.size()) {
        const ssize_t read = pread(file.get(), bytes.data() + got, bytes.size() - got,
                                   static_cast<off_t>(offset + got));
        if (read < 0 && errno == EINTR) continue;
        if (read < 0) throwErrno(path);
        if (read == 0) break;
        got += static_cast<std::size_t>(read);
    }
    bytes.resize(got);
    return bytes;
}

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
            const auto name = matchFolderEntry(found, std::string_view(path).substr(start, end - start), error);
            if (!name) return path;
            found = joinHostPath(found, *name);
        }
        start = end + 1;
    }
    return found;
}

std::error_code HostImageFiles::noDisc() const {
    return {EMEDIUMTYPE, std::generic_category()};
}

}  // namespace kelmor::posix
