// SPDX-License-Identifier: GPL-3.0-or-later
// The file operations of the POSIX host: Windows paths resolved through the
// drive map, then whole-file operations on the host paths, or on the files
// of a disc image, which are only read.
#include <sys/stat.h>
#include <unistd.h>

#include "core/posix/atomic_file.hpp"
#include "core/disc_image.hpp"
#include "core/posix/folder_listings.hpp"
#include "core/posix/image_files.hpp"
#include "core/posix/posix_error.hpp"
#include "core/posix/posix_host.hpp"
#include "core/posix/windows_path.hpp"

namespace kelmor::posix {

bool PosixHost::fileExist(const std::string& path) noexcept {
    try {
        if (DiscImage* image = imageOf(path)) {
            std::error_code error;
            const auto entry = image->findPath(path, error);
            return entry && !entry->folder && image->holds(*entry);
        }
        const auto host = resolveIfFound(path, PathUse::Existing);
        struct stat status {};
        return host && stat(host->c_str(), &status) == 0 && S_ISREG(status.st_mode);
    } catch (...) {
        return false;
    }
}

void PosixHost::copyFile(const std::string& source, const std::string& destination) {
    DiscImage* image = imageOf(source);
    const auto entry = image ? std::optional(image->fileAt(source)) : std::nullopt;
    const std::string from = image ? std::string() : resolve(source, PathUse::Existing);
    if (onImageDrive(destination)) throwError(EROFS, shownPath(destination));
    const std::string target = resolve(destination, PathUse::Destination);
    if (image) {
        // A disc's files are there to be read by whoever reads the disc.
        unflushed_.push_back(replaceFileWith(target, 0444, [&](int fd) {
            image->read(*entry, [&](std::string_view part) { writeAll(fd, part, target); });
        }));
    } else {
        unflushed_.push_back(copyFileAtomically(from, target));
    }
    listings_->added(target);
}

void PosixHost::deleteFile(const std::string& path) {
    if (onImageDrive(path)) throwError(EROFS, shownPath(path));
    const std::string host = resolve(path, PathUse::Existing);
    if (unlink(host.c_str()) != 0) throwErrno(host);
    listings_->removed(host);
}

std::string PosixHost::readFile(const std::string& path) {
    if (DiscImage* image = imageOf(path)) {
        const DiscImage::Entry file = image->fileAt(path);
        if (file.size > kLargestWholeFile) throwError(EFBIG, path);
        std::string content;
        content.reserve(file.size);
        image->read(file, [&](std::string_view part) { content += part; });
        return content;
    }
    return readWholeFile(resolve(path, PathUse::Existing));
}

std::string PosixHost::readFileBytes(const std::string& path, std::uint64_t offset,
                                     std::size_t count) {
    if (DiscImage* image = imageOf(path)) return image->readBytes(image->fileAt(path), offset, count);
    return readRegularFileBytes(resolve(path, PathUse::Existing), offset, count);
}

void PosixHost::replaceFile(const std::string& path, std::string_view content) {
    if (onImageDrive(path)) throwError(EROFS, shownPath(path));
    const std::string target = resolve(path, PathUse::Destination);
    unflushed_.push_back(writeFileAtomically(target, content));
    listings_->added(target);
}

// Only this host's own files are flushed, all at once: never the whole file
// system, which would wait for what other programs wrote meanwhile (a
// download of a gigabyte). A disc image is never written: nothing to flush
// there.
void PosixHost::flushWrites(const std::string& path) {
    if (onImageDrive(path)) return;
    resolve(path, PathUse::Existing);
    flushFiles(unflushed_);
    unflushed_.clear();
}

}  // namespace kelmor::posix
