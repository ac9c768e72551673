// SPDX-License-Identifier: GPL-3.0-or-later
// The file operations of the Win32 host. Names are matched by the file
// system itself, without regard to case. Every destination is replaced as a
// whole: the new content goes to a temporary file beside it, which then
// takes its place in one rename; a failure leaves the older file as it was.
// The drive of a disc image beside the programs is read through the kit's
// reader, and only read, as a CD drive is.
#include <algorithm>
#include <functional>
#include <set>
#include <string_view>
#include <utility>

#include "core/disc_image.hpp"
#include "core/failure.hpp"
#include "core/win32/win32_error.hpp"
#include "core/win32/win32_host.hpp"
#include "core/win32/win32_image_drives.hpp"
#include "core/win32/win32_text.hpp"

namespace kelmor::win32 {
namespace {

class Handle {
public:
    explicit Handle(HANDLE handle) : handle_(handle) {}
    Handle(Handle&& other) noexcept : handle_(std::exchange(other.handle_, INVALID_HANDLE_VALUE)) {}
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    ~Handle() { close(); }
    bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return handle_; }
    // Closes the handle; false when the system reports a failure.
    bool close() {
        if (!valid()) return true;
        const bool closed = CloseHandle(std::exchange(handle_, INVALID_HANDLE_VALUE)) != 0;
        return closed;
    }

private:
    HANDLE handle_;
};

// The folder of a path as a folder name the API reads as such ("C:\" for "C:\x").
std::wstring folderOf(const std::wstring& path) {
    const std::size_t slash = path.find_last_of(L'\\');
    std::wstring folder = slash == std::wstring::npos ? L"." : path.substr(0, slash);
    if (folder.size() == 2 && folder[1] == L':') folder += L'\\';
    return folder;
}

std::wstring joinedPath(const std::wstring& folder, std::wstring_view name) {
    std::wstring path = folder;
    if (!path.empty() && path.back() != L'\\') path += L'\\';
    path += name;
    return path;
}

// Temporary files are named "kel<process id>-<n>.tmp" beside the file they
// are to become. A process ended while it writes (from the Task Manager, at
// a shutdown) leaves its own behind; a later process removes those whose
// process no longer runs.
constexpr std::wstring_view kTemporaryPrefix = L"kel";
constexpr std::wstring_view kTemporarySuffix = L".tmp";

bool allDigits(std::wstring_view text) {
    if (text.empty() || text.size() > 10) return false;
    for (wchar_t c : text)
        if (c < L'0' || c > L'9') return false;
    return true;
}

// The process id in a temporary file's name; 0 when it is no such name.
DWORD ownerOf(std::wstring_view name) {
    if (name.size() <= kTemporaryPrefix.size() + kTemporarySuffix.size() ||
        name.substr(0, kTemporaryPrefix.size()) != kTemporaryPrefix ||
        name.substr(name.size() - kTemporarySuffix.size()) != kTemporarySuffix)
        return 0;
    name = name.substr(kTemporaryPrefix.size(),
                       name.size() - kTemporaryPrefix.size() - kTemporarySuffix.size());
    const std::size_t dash = name.find(L'-');
    if (dash == std::wstring_view::npos || !allDigits(name.substr(0, dash)) ||
        !allDigits(name.substr(dash + 1)))
        return 0;
    const unsigned long long process = std::stoull(std::wstring(name.substr(0, dash)));
    return process <= 0xFFFFFFFFull ? static_cast<DWORD>(process) : 0;
}

bool processIsGone(DWORD process) {
    const HANDLE handle = OpenProcess(SYNCHRONIZE, FALSE, process);
    if (handle == nullptr) return GetLastError() == ERROR_INVALID_PARAMETER;
    const bool ended = WaitForSingleObject(handle, 0) == WAIT_OBJECT_0;
    CloseHandle(handle);
    return ended;
}

// Removes the temporary files in a folder whose process no longer runs.
// Each folder is looked at once per process; nothing is reported.
void removeStaleTemporaryFiles(const std::wstring& folder) {
    static std::set<std::wstring> swept;
    if (!swept.insert(folder).second) return;
    WIN32_FIND_DATAW found{};
    const HANDLE search = FindFirstFileW(joinedPath(folder, L"kel*.tmp").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        const DWORD process = ownerOf(found.cFileName);
        if (process == 0 || process == GetCurrentProcessId() || !processIsGone(process)) continue;
        const std::wstring path = joinedPath(folder, found.cFileName);
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);  // a copy of a read-only file
        DeleteFileW(path.c_str());
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

// A new, empty file beside a destination, removed again unless it took the
// destination's place.
class TemporaryFile {
public:
    TemporaryFile(const std::wstring& destination, const std::string& what)
        : destination_(destination), what_(what) {
        const std::wstring folder = folderOf(destination);
        removeStaleTemporaryFiles(folder);
        static unsigned long counter = 0;
        for (int attempt = 0; attempt < 100; ++attempt) {
            const std::wstring path = joinedPath(
                folder, std::wstring(kTemporaryPrefix) + std::to_wstring(GetCurrentProcessId()) +
                            L"-" + std::to_wstring(++counter) + std::wstring(kTemporarySuffix));
            const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                            FILE_ATTRIBUTE_NORMAL, nullptr);
            if (file != INVALID_HANDLE_VALUE) {
                CloseHandle(file);
                path_ = path;
                return;
            }
            const DWORD error = GetLastError();
            if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS)
                throwWindowsError(error, what);
        }
        throwWindowsError(ERROR_FILE_EXISTS, what);
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    ~TemporaryFile() {
        if (path_.empty()) return;
        SetFileAttributesW(path_.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(path_.c_str());
    }

    const std::wstring& path() const { return path_; }

    // The temporary file becomes the destination, in one rename.
    void replaceDestination() {
        if (!MoveFileExW(path_.c_str(), destination_.c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            throwLastError(what_);
        path_.clear();
    }

private:
    std::wstring destination_;
    std::string what_;
    std::wstring path_;
};

void writeAll(const Handle& file, std::string_view bytes, const std::string& what) {
    while (!bytes.empty()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 20));
        DWORD written = 0;
        if (!WriteFile(file.get(), bytes.data(), chunk, &written, nullptr)) throwLastError(what);
        bytes.remove_prefix(written);
    }
}

// A Windows error as the failure of a copy's source.
[[noreturn]] void throwSourceError(DWORD error, const std::string& what) {
    throw SourceFailure(std::system_error(static_cast<int>(error), windowsCategory(), what));
}

// A copy's source, opened to be read. A folder in the file's place is no
// file to copy, as on a disc image (EISDIR); Windows itself only denies it.
Handle openSource(const std::string& source) {
    const std::wstring path = readingSource([&] { return wide(source, source); });
    Handle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (file.valid()) return file;
    const DWORD error = GetLastError();
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        throw SourceFailure(
            std::system_error(std::make_error_code(std::errc::is_a_directory), source));
    throwSourceError(error, source);
}

void copyContent(const Handle& from, const Handle& to, const std::string& source,
                 const std::string& destination) {
    std::string buffer(256 * 1024, '\0');
    for (;;) {
        DWORD read = 0;
        if (!ReadFile(from.get(), buffer.data(), static_cast<DWORD>(buffer.size()), &read, nullptr))
            throwSourceError(GetLastError(), source);
        if (read == 0) return;
        writeAll(to, std::string_view(buffer.data(), read), destination);
    }
}

// Writes a copy into a temporary file beside its destination with `fill`,
// which then takes the destination's place.
void writeCopy(const std::wstring& target, const std::string& destination,
               const std::function<void(const Handle&)>& fill) {
    TemporaryFile copy(target, destination);
    {
        Handle written(CreateFileW(copy.path().c_str(), GENERIC_WRITE, 0, nullptr,
                                   TRUNCATE_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!written.valid()) throwLastError(destination);
        fill(written);
        if (!written.close()) throwLastError(destination);
    }
    copy.replaceDestination();
}

}  // namespace

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
        writeCopy(target, destination, [&](const Handle& written) {
            image->read(file, [&](std::string_view part) { writeAll(written, part, destination); });
        });
    } else {
        const Handle from = openSource(source);
        writeCopy(target, destination, [&](const Handle& written) {
            copyContent(from, written, source, destination);
        });
    }
    unflushedCopies_.push_back(target);
}

// A written file is flushed before it replaces the older one; a copy is
// flushed here, once, so that 218 copies do not wait for the disk one by one.
void Win32Host::flushWrites(const std::string& path) {
    if (onImageDrive(path)) return;  // nothing is ever written there
    if (GetFileAttributesW(wide(path, path).c_str()) == INVALID_FILE_ATTRIBUTES)
        throwLastError(path);
    for (const std::wstring& copied : unflushedCopies_) {
        const Handle file(CreateFileW(copied.c_str(), GENERIC_WRITE,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file.valid() && GetLastError() == ERROR_FILE_NOT_FOUND) continue;  // gone since
        if (!file.valid() || !FlushFileBuffers(file.get())) throwLastError(path);
    }
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
    const Handle file(CreateFileW(wide(path, path).c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) throwLastError(path);
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size)) throwLastError(path);
    if (static_cast<std::uint64_t>(size.QuadPart) > kLargestWholeFile)
        throwWindowsError(ERROR_FILE_TOO_LARGE, path);
    std::string bytes;
    char buffer[64 * 1024];
    for (;;) {
        DWORD read = 0;
        if (!ReadFile(file.get(), buffer, sizeof buffer, &read, nullptr)) throwLastError(path);
        if (read == 0) break;
        if (bytes.size() + read > kLargestWholeFile) throwWindowsError(ERROR_FILE_TOO_LARGE, path);
        bytes.append(buffer, read);
    }
    return textFromAnsi(bytes);
}

std::string Win32Host::readFileBytes(const std::string& path, std::uint64_t offset,
                                     std::size_t count) {
    if (DiscImage* image = imageOf(path)) return image->readBytes(image->fileAt(path), offset, count);
    return readFileBytesAt(path, offset, count);
}

void Win32Host::replaceFile(const std::string& path, std::string_view content) {
    if (onImageDrive(path)) throwWindowsError(ERROR_WRITE_PROTECT, path);
    // Refused before anything is touched when the code page cannot hold it.
    const std::string bytes = ansiText(content, path);
    TemporaryFile replacement(wide(path, path), path);
    {
        Handle file(CreateFileW(replacement.path().c_str(), GENERIC_WRITE, 0, nullptr,
                                TRUNCATE_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file.valid()) throwLastError(path);
        writeAll(file, bytes, path);
        if (!FlushFileBuffers(file.get()) || !file.close()) throwLastError(path);
    }
    replacement.replaceDestination();
}

}  // namespace kelmor::win32
