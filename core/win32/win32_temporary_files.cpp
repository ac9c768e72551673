// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/win32/win32_temporary_files.hpp"

#include <windows.h>

#include <set>
#include <string_view>

#include "core/win32/win32_error.hpp"
#include "core/win32/win32_handle.hpp"

namespace kelmor::win32 {
namespace {

constexpr std::wstring_view kTemporaryPrefix = L"kel";
constexpr std::wstring_view kTemporarySuffix = L".tmp";

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

// The next name for a temporary file of this process in a folder.
std::wstring nextTemporaryPath(const std::wstring& folder) {
    static unsigned long counter = 0;
    return joinedPath(folder, std::wstring(kTemporaryPrefix) +
                                  std::to_wstring(GetCurrentProcessId()) + L"-" +
                                  std::to_wstring(++counter) + std::wstring(kTemporarySuffix));
}

bool processIsGone(DWORD process) {
    const Handle handle(OpenProcess(SYNCHRONIZE, FALSE, process));
    if (!handle.valid()) return GetLastError() == ERROR_INVALID_PARAMETER;
    return WaitForSingleObject(handle.get(), 0) == WAIT_OBJECT_0;
}

// Removes the temporary files in a folder whose process no longer runs.
// Each folder is looked at once per process; nothing is reported.
void removeStaleTemporaryFiles(const std::wstring& folder) {
    static std::set<std::wstring> swept;
    if (!swept.insert(folder).second) return;
    WIN32_FIND_DATAW found{};
    const FileSearch search(FindFirstFileW(joinedPath(folder, L"kel*.tmp").c_str(), &found));
    if (!search.valid()) return;
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        const DWORD process = ownerOf(found.cFileName);
        if (process == 0 || process == GetCurrentProcessId() || !processIsGone(process)) continue;
        const std::wstring path = joinedPath(folder, found.cFileName);
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);  // a copy of a read-only file
        DeleteFileW(path.c_str());
    } while (FindNextFileW(search.get(), &found));
}

}  // namespace

TemporaryFile::TemporaryFile(const std::wstring& destination, const std::string& what)
    : destination_(destination), what_(what) {
    const std::wstring folder = folderOf(destination);
    removeStaleTemporaryFiles(folder);
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::wstring path = nextTemporaryPath(folder);
        const Handle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file.valid()) {
            path_ = path;
            return;
        }
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS)
            throwWindowsError(error, what);
    }
    throwWindowsError(ERROR_FILE_EXISTS, what);
}

TemporaryFile::~TemporaryFile() {
    if (path_.empty()) return;
    SetFileAttributesW(path_.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(path_.c_str());
}

void TemporaryFile::replaceDestination() {
    if (!MoveFileExW(path_.c_str(), destination_.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        throwLastError(what_);
    path_.clear();
}

}  // namespace kelmor::win32
