// SPDX-License-Identifier: GPL-3.0-or-later
// Texts at the Win32 API. The kit's own texts are UTF-8; the API speaks
// UTF-16; text files are 8-bit in the ANSI code page.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kelmor::win32 {

// UTF-16 of a UTF-8 text. A text that is not UTF-8 is refused:
// std::system_error ERROR_NO_UNICODE_TRANSLATION about `what`.
std::wstring wide(std::string_view text, const std::string& what);

// UTF-16 of a text to be shown: a byte that is not UTF-8 shows as U+FFFD.
std::wstring displayText(std::string_view text);

// UTF-8 of a UTF-16 text.
std::string utf8(std::wstring_view text);

// The bytes of a UTF-8 text in the ANSI code page. A character that the
// page cannot hold is refused, never written as "?" or as a look-alike:
// std::system_error ERROR_NO_UNICODE_TRANSLATION about `what`.
std::string ansiText(std::string_view text, const std::string& what);

// UTF-8 of 8-bit text in the ANSI code page.
std::string textFromAnsi(std::string_view bytes);

// The first character of a UTF-8 text that the ANSI code page cannot hold
// (ansiText() refuses it); nothing when the page holds them all, and an
// empty text when it refuses none alone (a text that is no UTF-8).
std::optional<std::string> firstCharacterOutsideAnsi(const std::string& text);

}  // namespace kelmor::win32
