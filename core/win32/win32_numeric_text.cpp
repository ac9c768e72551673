// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/win32/win32_numeric_text.hpp"

#include <windows.h>

#include <string>

#include "core/numeric_text.hpp"
#include "core/win32/win32_text.hpp"

namespace kelmor::win32 {
namespace {

std::string localeText(LCTYPE item) {
    wchar_t buffer[16] = {};
    const int length = GetLocaleInfoW(LOCALE_USER_DEFAULT, item, buffer, 16);
    return length > 1 ? utf8(std::wstring_view(buffer, static_cast<std::size_t>(length - 1)))
                      : std::string();
}

}  // namespace

std::optional<double> parseNumericText(std::string_view text) {
    return parseNumber(text, localeText(LOCALE_SDECIMAL));
}

}  // namespace kelmor::win32
