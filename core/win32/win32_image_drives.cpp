// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/win32/win32_image_drives.hpp"

#include <algorithm>
#include <string_view>

#include "core/image_mount.hpp"
#include "core/win32/win32_error.hpp"
#include "core/win32/win32_handle.hpp"
#include "core/win32/win32_text.hpp"

namespace kelmor::win32 {

std::map<char, std::string> imageLetters(const std::vector<std::string>& images,
                                         DWORD systemDrives) {
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
    const FileSearch search(FindFirstFileW(wide(folder + "\\*", folder).c_str(), &found));
    if (!search.valid()) return images;
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        const std::string name = utf8(found.cFileName);
        if (isDiscImageFileName(name) && !isEmulatorSheetFileName(name))
            images.push_back(folder + "\\" + name);
    } while (FindNextFileW(search.get(), &found));
    std::sort(images.begin(), images.end());
    return images;
}

std::string Win32ImageFiles::sheetText(std::string bytes) {
    constexpr std::string_view byteOrderMark = "\xEF\xBB\xBF";
    if (std::string_view(bytes).substr(0, byteOrderMark.size()) == byteOrderMark) return bytes;
    return textFromAnsi(bytes);
}

std::error_code Win32ImageFiles::noDisc() const { return {ERROR_NOT_READY, windowsCategory()}; }

}  // namespace kelmor::win32
