// SPDX-License-Identifier: GPL-3.0-or-later
// The file operations of the Win32 host: whole-file operations
// (win32_atomic_file.hpp) on the files that paths name, or on the files of
// a disc image beside the programs, read through the kit's reader and only
// read, as a CD drive is. Names are matched by the file system itself,
// without regard to case.
#include <string_view>

#include "core/disc_image.hpp"
#include "core/failure.hpp"
#include "core/win32/win32_atomic_file.hpp"
#include "core/win32/win32_error.hpp"
#include "core/win32/win32_host.hpp"
#include "core/win32/win32_image_drives.hpp"
#include "core/win32/win32_text.hpp"

namespace kelmor::win32 {

bool Win32Host::fileExist(const std::string& path) noexcept {
    try {
        if (DiscImage* image = imageOf(path)) {
            std::error_code error;
            const auto entry = image->findPath(path, error);
            return entry && !entry->folder && image->holds(*entry);
        }
        const DWORD attributes = GetFileAttributesW(wide(path, path).c_str());
        return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
    } catch (...) {
        return false;
    }
}

// What keeps the source from being read is a SourceFailure; the
// destination's failures are not. The copy is writable whatever the source
// was: files from a CD are read-only, and the installed ones are edited and
// replaced later.
void Win32Host::copyFile(const std::string& source, const std::string& destination) {
    if (onImageDrive(destination)) throwWindowsError(ERROR_WRITE_PROTECT, destination);
    const std::wstring target = wide(destination, destination);
    if (DiscImage* image = readingSource([&] { return imageOf(source); })) {
        const DiscImage::Entry file = readingSource([&] { return image->fileAt(source); });
        replaceFileWith(target, destination, [&](const Handle& written) {
            image->read(file, [&](std::string_view part) { writeAll(written, part, destination); });
        });
    } else {
        copyFileAtomically(source, target, destination);
    }
    unflushedCopies_.push_back(target);
}

// A written file is flushed before it replaces the older one; a copy is
// flushed here, once, so that 218 copies do not wait for the disk one by one.
void Win32Host::flushWrites(const std::string& path) {
    if (onImageDrive(path)) return;  // nothing is ever written there
    if (GetFileAttributesW(wide(path, path).c_str()) == INVALID_FILE_ATTRIBUTES)
        throwLastError(path);
    flushFiles(unflushedCopies_, path);
    unflushedCopies_.clear();
}

void Win32Host::deleteFile(const std::string& path) {
    if (onImageDrive(path)) throwWindowsError(ERROR_WRITE_PROTECT, path);
    if (!DeleteFileW(wide(path, path).c_str())) throwLastError(path);
}

std::string Win32Host::readFile(const std::string& path) {
    if (DiscImage* image = imageOf(path)) {
        const DiscImage::Entry file = image->fileAt(path);
        if (file.size > kLargestWholeFile) throwWindowsError(ERROR_FILE_TOO_LARGE, path);
        return textFromAnsi(image->readBytes(file, 0, file.size));
    }
    return textFromAnsi(readWholeFile(path));
}

std::string Win32Host::readFileBytes(const std::string& path, std::uint64_t offset,
                                     std::size_t count) {
    if (DiscImage* image = imageOf(path))
        return image->readBytes(image->fileAt(path), offset, count);
    return readFileBytesAt(path, offset, count);
}

void Win32Host::replaceFile(const std::string& path, std::string_view content) {
    if (onImageDrive(path)) throwWindowsError(ERROR_WRITE_PROTECT, path);
    // Refused before anything is touched when the code page cannot hold it.
    const std::string bytes = ansiText(content, path);
    writeFileAtomically(wide(path, path), bytes, path);
}

}  // namespace kelmor::win32
