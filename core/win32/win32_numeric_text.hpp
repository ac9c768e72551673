// SPDX-License-Identifier: GPL-3.0-or-later
// The host's numeric text: the neutral syntax of core/numeric_text.hpp with
// the decimal point of the user's locale and no thousands separator.
#pragma once

#include <optional>
#include <string_view>

namespace kelmor::win32 {

// The value of a numeric text written with the decimal point of the user's
// locale (LOCALE_SDECIMAL); nothing when the text is not a number.
std::optional<double> parseNumericText(std::string_view text);

}  // namespace kelmor::win32
