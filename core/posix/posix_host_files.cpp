// SPDX-License-Identifier: GPL-3.0-or-later
// The file operations of the POSIX host: whole-file operations on the host
// files that drive-letter paths lead to, or on the files of a disc image,
// which are only read.
#include <sys/stat.h>
#include <unistd.h>

#include "core/failure.hpp"
#include "core/linux_drives/linux_drives.hpp"
#include "core/posix_files/posix_atomic_file.hpp"
#include "core/posix_files/posix_error.hpp"
#include "core/posix/posix_host.hpp"

namespace kelmor::posix {

bool PosixHost::fileExist(const std::string& path) noexcept {
    try {
        const auto place = drives_->find(path);
        if (!place) return false;
        if (place->image) return !place->entry.folder && place->image->holds(place->entry);
        struct stat status {};
        return stat(place->hostPath.c_str(), &status) == 0 && S_ISREG(status.st_mode);
    } catch (...) {
        return false;
    }
}

// What keeps the source from being read, its drive's image included, is a
// SourceFailure; the destination's failures are not.
void PosixHost::copyFile(const std::string& source, const std::string& destination) {
    const linux_drives::DrivePlace from = readingSource([&] { return drives_->file(source); });
    const std::string target =
        drives_->writablePath(destination, linux_drives::PathUse::Destination);
    if (from.image) {
        // A disc's files are there to be read by whoever reads the disc.
        unflushed_.push_back(posix_files::replaceFileWith(target, 0444, [&](int fd) {
            from.image->read(from.entry, [&](std::string_view part) {
                posix_files::writeAll(fd, part, target);
            });
        }));
    } else {
        unflushed_.push_back(posix_files::copyFileAtomically(from.hostPath, target));
    }
    drives_->added(target);
}

void PosixHost::deleteFile(const std::string& path) {
    const std::string host = drives_->writablePath(path, linux_drives::PathUse::Existing);
    if (unlink(host.c_str()) != 0) posix_files::throwErrno(host);
    drives_->removed(host);
}

std::string PosixHost::readFile(const std::string& path) {
    const linux_drives::DrivePlace file = drives_->file(path);
    if (!file.image) return posix_files::readWholeFile(file.hostPath);
    if (file.entry.size > kLargestWholeFile) posix_files::throwError(EFBIG, path);
    std::string content;
    content.reserve(file.entry.size);
    file.image->read(file.entry, [&](std::string_view part) { content += part; });
    return content;
}

std::string PosixHost::readFileBytes(const std::string& path, std::uint64_t offset,
                                     std::size_t count) {
    const linux_drives::DrivePlace file = drives_->file(path);
    if (file.image) return file.image->readBytes(file.entry, offset, count);
    return posix_files::readRegularFileBytes(file.hostPath, offset, count);
}

void PosixHost::replaceFile(const std::string& path, std::string_view content) {
    const std::string target = drives_->writablePath(path, linux_drives::PathUse::Destination);
    unflushed_.push_back(posix_files::writeFileAtomically(target, content));
    drives_->added(target);
}

// Only this host's own files are flushed, all at once: never the whole file
// system, which would wait for what other programs wrote meanwhile (a
// download of a gigabyte). A disc image is never written: nothing to flush
// there.
void PosixHost::flushWrites(const std::string& path) {
    if (drives_->onImage(path)) return;
    drives_->writablePath(path, linux_drives::PathUse::Existing);
    posix_files::flushFiles(unflushed_);
    unflushed_.clear();
}

}  // namespace kelmor::posix
