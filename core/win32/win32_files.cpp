// The file operations of the Win32 host. Names are matched by the file
// system itself, without regard to case. Every destination is replaced as a
// whole: the new content goes to a temporary file beside it, which then
// takes its place in one rename; a failure leaves the older file as it was.
#include <algorithm>
#include <utility>

#include "core/win32/win32_error.hpp"
#include "core/win32/win32_host.hpp"
#include "core/win32/win32_text.hpp"

namespace kelmor::win32 {
namespace {

class Handle {
public:
    explicit Handle(HANDLE handle) : handle_(handle) {}
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

// A new, empty file beside a destination, removed again unless it took the
// destination's place.
class TemporaryFile {
public:
    TemporaryFile(const std::wstring& destination, const std::string& what)
        : destination_(destination), what_(what) {
        wchar_t name[MAX_PATH] = {};
        if (GetTempFileNameW(folderOf(destination).c_str(), L"kel", 0, name) == 0)
            throwLastError(what);
        path_ = name;
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

}  // namespace

bool Win32Host::fileExist(const std::string& path) noexcept {
    try {
        const DWORD attributes = GetFileAttributesW(wide(path, path).c_str());
        return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
    } catch (...) {
        return false;
    }
}

// The copy is writable whatever the source was: files from a CD are
// read-only, and the installed ones are edited and replaced later.
void Win32Host::copyFile(const std::string& source, const std::string& destination) {
    const std::wstring from = wide(source, source);
    TemporaryFile copy(wide(destination, destination), destination);
    if (!CopyFileW(from.c_str(), copy.path().c_str(), FALSE)) throwLastError(source);
    const DWORD attributes = GetFileAttributesW(copy.path().c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
        const DWORD writable = attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY);
        if (!SetFileAttributesW(copy.path().c_str(), writable ? writable : FILE_ATTRIBUTE_NORMAL))
            throwLastError(destination);
    }
    copy.replaceDestination();
    unflushedCopies_.push_back(wide(destination, destination));
}

// A written file is flushed before it replaces the older one; a copy is
// flushed here, once, so that 218 copies do not wait for the disk one by one.
void Win32Host::flushWrites(const std::string& path) {
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
    if (!DeleteFileW(wide(path, path).c_str())) throwLastError(path);
}

std::string Win32Host::readFile(const std::string& path) {
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
    const Handle file(CreateFileW(wide(path, path).c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) throwLastError(path);
    LARGE_INTEGER at{};
    at.QuadPart = static_cast<LONGLONG>(offset);
    if (!SetFilePointerEx(file.get(), at, nullptr, FILE_BEGIN)) throwLastError(path);
    std::string bytes(count, '\0');
    std::size_t got = 0;
    while (got < count) {
        DWORD read = 0;
        const DWORD wanted = static_cast<DWORD>(std::min<std::size_t>(count - got, 64 * 1024));
        if (!ReadFile(file.get(), bytes.data() + got, wanted, &read, nullptr)) throwLastError(path);
        if (read == 0) break;
        got += read;
    }
    bytes.resize(got);
    return bytes;
}

void Win32Host::replaceFile(const std::string& path, std::string_view content) {
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
