// SPDX-License-Identifier: GPL-3.0-or-later
// The host's numeric text: the neutral syntax of core/numeric_text.hpp with
// the decimal point of the user's locale and no thousands separator.
#pragma once

#include <optional>
#include <string_view>

namespace kelmor::posix {

// The value of a numeric text written with the given decimal point; nothing
// when the text is not a number. Checking and converting are this one parse.
std::optional<double> parseNumericText(std::string_view text, std::string_view decimalPoint);

// The same with the decimal point of the current locale (LC_NUMERIC).
std::optional<double> parseNumericText(std::string_view text);

}  // namespace kelmor::posix
