// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/win32/win32_image_drives.hpp"

#include <algorithm>
#include <string_view>

#include "core/image_mount.hpp"
#include "core/win32/win32_error.hpp"
#include "core/win32/win32_text.hpp"

namespace kelmor::win32 {

std::map<char, std::string> imageLetters(const std::vector<std::string>& images, DWORD systemDrives) {
    std::map<char, std::string> letters;
    char letter = 'D';
    for (const std::string& image : images) {
        while (letter <= 'Z' && (systemDrives & (DWORD{1} << (letter - 'A')))) ++letter;
        if (letter > 'Z') break;
        letters.emplace(letter++, image);
    }
    return letters;
}

std::vector<std::string> discImagesIn(const std::string& folder) {
    std::vector<std::string> images;
    WIN32_FIND_DATAW found{};
    const HANDLE search = FindFirstFileW(wide(folder + "\\*", folder).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return images;
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        const std::string name = utf8(found.cFileName);
        if (isDiscImageFileName(name) && !isEmulatorSheetFileName(name)) images.push_back(folder + "\\" + name);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    std::sort(images.begin(), images.end());
    return images;
}

std::string readFileBytesAt(const std::string& path, std::uint64_t offset, std::size_t count) {
    const HANDLE file = CreateFileW(wide(path, path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) throwLastError(path);
    std::string bytes;
    try {
        LARGE_INTEGER size{}, at{};
        at.QuadPart = static_cast<LONGLONG>(offset);
        if (!GetFileSizeEx(file, &size) || !SetFilePointerEx(file, at, nullptr, FILE_BEGIN)) throwLastError(path);
        // Never more than the file holds now, whatever was asked for.
        const auto left = static_cast<std::uint64_t>(size.QuadPart);
        bytes.resize(offset < left ? static_cast<std::size_t>(std::min<std::uint64_t>(count, left - offset)) : 0);
        std::size_t got = 0;
        while (got < bytes.size()) {
            DWORD read = 0;
            const DWORD wanted = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - got, 1u << 20));
            if (!ReadFile(file, bytes.data() + got, wanted, &read, nullptr)) throwLastError(path);
            if (read == 0) break;
            got += read;
        }
        bytes.resize(got);
    } catch (...) {
        CloseHandle(file);
        throw;
    }
    CloseHandle(file);
    return bytes;
}

std::string Win32ImageFiles::sheetText(std::string bytes) {
    constexpr std::string_view byteOrderMark = "\xEF\xBB\xBF";
    if (std::string_view(bytes).substr(0, byteOrderMark.size()) == byteOrderMark) return bytes;
    return textFromAnsi(bytes);
}

std::error_code Win32ImageFiles::noDisc() const {
    return {ERROR_NOT_READY, windowsCategory()};
}

}  // namespace kelmor::win32
