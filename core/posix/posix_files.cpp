// The file operations of the POSIX host: Windows paths resolved through the
// drive map, then whole-file operations on the host paths.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/posix/atomic_file.hpp"
#include "core/posix/file_descriptor.hpp"
#include "core/posix/folder_listings.hpp"
#include "core/posix/posix_error.hpp"
#include "core/posix/posix_host.hpp"
#include "core/posix/windows_path.hpp"

namespace kelmor::posix {

bool PosixHost::fileExist(const std::string& path) noexcept {
    try {
        const auto host = resolveIfFound(path, PathUse::Existing);
        struct stat status {};
        return host && stat(host->c_str(), &status) == 0 && S_ISREG(status.st_mode);
    } catch (...) {
        return false;
    }
}

void PosixHost::copyFile(const std::string& source, const std::string& destination) {
    const std::string from = resolve(source, PathUse::Existing);
    const std::string target = resolve(destination, PathUse::Destination);
    copyFileAtomically(from, target);
    listings_->added(target);
}

void PosixHost::deleteFile(const std::string& path) {
    const std::string host = resolve(path, PathUse::Existing);
    if (unlink(host.c_str()) != 0) throwErrno(path);
    listings_->removed(host);
}

std::string PosixHost::readFile(const std::string& path) {
    return readWholeFile(resolve(path, PathUse::Existing));
}

void PosixHost::replaceFile(const std::string& path, std::string_view content) {
    const std::string target = resolve(path, PathUse::Destination);
    writeFileAtomically(target, content);
    listings_->added(target);
}

// One flush of the whole file system costs far less than one per file.
void PosixHost::flushWrites(const std::string& path) {
    const FileDescriptor folder(open(resolve(path, PathUse::Existing).c_str(),
                                     O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (folder.get() < 0 || syncfs(folder.get()) != 0) throwErrno(path);
}

}  // namespace kelmor::posix
