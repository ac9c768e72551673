// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/win32/win32_atomic_file.hpp"

#include <algorithm>
#include <system_error>

#include "core/failure.hpp"
#include "core/host.hpp"
#include "core/win32/win32_error.hpp"
#include "core/win32/win32_temporary_files.hpp"
#include "core/win32/win32_text.hpp"

namespace kelmor::win32 {
namespace {

Handle openToRead(const std::string& path) {
    Handle file(CreateFileW(wide(path, path).c_str(), GENERIC_READ,
                            FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) throwLastError(path);
    return file;
}

std::uint64_t sizeOf(const Handle& file, const std::string& path) {
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size)) throwLastError(path);
    return static_cast<std::uint64_t>(size.QuadPart);
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

}  // namespace

std::string readWholeFile(const std::string& path) {
    const Handle file = openToRead(path);
    if (sizeOf(file, path) > kLargestWholeFile) throwWindowsError(ERROR_FILE_TOO_LARGE, path);
    std::string bytes;
    char buffer[64 * 1024];
    for (;;) {
        DWORD read = 0;
        if (!ReadFile(file.get(), buffer, sizeof buffer, &read, nullptr)) throwLastError(path);
        if (read == 0) return bytes;
        // A file that grows while it is read is held to the same limit.
        if (bytes.size() + read > kLargestWholeFile) throwWindowsError(ERROR_FILE_TOO_LARGE, path);
        bytes.append(buffer, read);
    }
}

std::string readFileBytesAt(const std::string& path, std::uint64_t offset, std::size_t count) {
    const Handle file = openToRead(path);
    // Never more than the file holds now, whatever was asked for.
    const std::uint64_t size = sizeOf(file, path);
    LARGE_INTEGER at{};
    at.QuadPart = static_cast<LONGLONG>(offset);
    if (!SetFilePointerEx(file.get(), at, nullptr, FILE_BEGIN)) throwLastError(path);
    std::string bytes(
        offset < size ? static_cast<std::size_t>(std::min<std::uint64_t>(count, size - offset)) : 0,
        '\0');
    std::size_t got = 0;
    while (got < bytes.size()) {
        DWORD read = 0;
        const DWORD wanted =
            static_cast<DWORD>(std::min<std::size_t>(bytes.size() - got, 1u << 20));
        if (!ReadFile(file.get(), bytes.data() + got, wanted, &read, nullptr)) throwLastError(path);
        if (read == 0) break;
        got += read;
    }
    bytes.resize(got);
    return bytes;
}

void writeAll(const Handle& file, std::string_view bytes, const std::string& what) {
    while (!bytes.empty()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 20));
        DWORD written = 0;
        if (!WriteFile(file.get(), bytes.data(), chunk, &written, nullptr)) throwLastError(what);
        bytes.remove_prefix(written);
    }
}

void replaceFileWith(const std::wstring& target, const std::string& what,
                     const std::function<void(const Handle&)>& fill) {
    TemporaryFile replacement(target, what);
    {
        Handle file(CreateFileW(replacement.path().c_str(), GENERIC_WRITE, 0, nullptr,
                                TRUNCATE_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file.valid()) throwLastError(what);
        fill(file);
        if (!file.close()) throwLastError(what);
    }
    replacement.replaceDestination();
}

void writeFileAtomically(const std::wstring& target, std::string_view bytes,
                         const std::string& what) {
    replaceFileWith(target, what, [&](const Handle& file) {
        writeAll(file, bytes, what);
        if (!FlushFileBuffers(file.get())) throwLastError(what);
    });
}

void copyFileAtomically(const std::string& source, const std::wstring& target,
                        const std::string& destination) {
    const Handle from = openSource(source);
    replaceFileWith(target, destination, [&](const Handle& written) {
        copyContent(from, written, source, destination);
    });
}

void flushFiles(const std::vector<std::wstring>& paths, const std::string& what) {
    for (const std::wstring& path : paths) {
        const Handle file(CreateFileW(path.c_str(), GENERIC_WRITE,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file.valid() && GetLastError() == ERROR_FILE_NOT_FOUND) continue;  // gone since
        if (!file.valid() || !FlushFileBuffers(file.get())) throwLastError(what);
    }
}

}  // namespace kelmor::win32
