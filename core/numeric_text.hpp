// SPDX-License-Identifier: GPL-3.0-or-later
// Numeric text, as both hosts read it:
//
//     number   = blanks [ "+" | "-" ] mantissa [ exponent ] blanks
//     mantissa = digits [ point [ digits ] ] | point digits
//     exponent = ( "e" | "E" ) [ "+" | "-" ] digits
//     digits   = one or more of 0 to 9
//     blanks   = zero or more spaces (a tab is not one)
//     point    = the decimal separator of the user's locale
//
// Nothing else is a number: no hexadecimal, no "inf" or "nan", no empty
// text, and no thousands separator of the locale (a no-break space, a comma,
// an apostrophe): "20 000" written so would reach dosbox.conf as it stands,
// a text that is no cycle count. A number too large for a double is not one
// either; one too small to represent is 0 or the nearest tiny value. The
// conversion does not depend on the process's C locale.
#pragma once

#include <optional>
#include <string_view>

namespace kelmor {

// The value of a numeric text written with the given decimal point ("."
// when empty); nothing when the text is not a number. Checking and
// converting are this one parse.
std::optional<double> parseNumber(std::string_view text, std::string_view decimalPoint);

}  // namespace kelmor
