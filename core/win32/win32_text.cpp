// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/win32/win32_text.hpp"

#include <windows.h>

#include <climits>
#include <system_error>

#include "core/win32/win32_error.hpp"

namespace kelmor::win32 {
namespace {

int lengthOf(std::size_t size, const std::string& what) {
    if (size > INT_MAX) throwWindowsError(ERROR_ARITHMETIC_OVERFLOW, what);
    return static_cast<int>(size);
}

std::wstring toWide(UINT codePage, DWORD flags, std::string_view text, const std::string& what) {
    if (text.empty()) return {};
    const int size = lengthOf(text.size(), what);
    const int length = MultiByteToWideChar(codePage, flags, text.data(), size, nullptr, 0);
    if (length == 0) throwLastError(what);
    std::wstring result(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(codePage, flags, text.data(), size, result.data(), length);
    return result;
}

// `refuseUnmappable` asks the system to report characters it would replace.
std::string toBytes(UINT codePage, std::wstring_view text, bool refuseUnmappable,
                    const std::string& what) {
    if (text.empty()) return {};
    const int size = lengthOf(text.size(), what);
    const DWORD flags = refuseUnmappable ? WC_NO_BEST_FIT_CHARS : 0;
    BOOL replaced = FALSE;
    BOOL* replacedFlag = refuseUnmappable ? &replaced : nullptr;
    const int length =
        WideCharToMultiByte(codePage, flags, text.data(), size, nullptr, 0, nullptr, replacedFlag);
    if (length == 0) throwLastError(what);
    if (replaced) throwWindowsError(ERROR_NO_UNICODE_TRANSLATION, what);
    std::string result(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(codePage, flags, text.data(), size, result.data(), length, nullptr,
                        nullptr);
    return result;
}

}  // namespace

std::wstring wide(std::string_view text, const std::string& what) {
    return toWide(CP_UTF8, MB_ERR_INVALID_CHARS, text, what);
}

std::wstring displayText(std::string_view text) { return toWide(CP_UTF8, 0, text, "text"); }

std::string utf8(std::wstring_view text) { return toBytes(CP_UTF8, text, false, "UTF-16 text"); }

std::string ansiText(std::string_view text, const std::string& what) {
    const std::wstring characters = wide(text, what);
    // A system whose ANSI page is UTF-8 holds every character as it is.
    if (GetACP() == CP_UTF8) return std::string(text);
    return toBytes(CP_ACP, characters, true, what);
}

std::string textFromAnsi(std::string_view bytes) {
    return utf8(toWide(CP_ACP, 0, bytes, "file text"));
}

std::optional<std::string> firstCharacterOutsideAnsi(const std::string& text) {
    try {
        ansiText(text, text);
        return std::nullopt;
    } catch (const std::system_error&) {
    }
    const std::wstring characters = displayText(text);
    for (std::size_t i = 0; i < characters.size(); ++i) {
        const bool pair = IS_HIGH_SURROGATE(characters[i]) && i + 1 < characters.size();
        const std::string character = utf8(std::wstring_view(characters).substr(i, pair ? 2 : 1));
        try {
            ansiText(character, text);
        } catch (const std::system_error&) {
            return character;
        }
        if (pair) ++i;
    }
    return std::string();  // none alone, though not all of them together
}

}  // namespace kelmor::win32
