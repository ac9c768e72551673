// The host's numeric text.
//
//     number   = blanks [ "+" | "-" ] mantissa [ exponent ] blanks
//     mantissa = digits [ point [ digits ] ] | point digits
//     exponent = ( "e" | "E" ) [ "+" | "-" ] digits
//     digits   = one or more of 0 to 9
//     blanks   = zero or more spaces (a tab is not one)
//     point    = the decimal point of the user's locale ("." in the C locale)
//
// Nothing else is a number: no thousands separators, no hexadecimal, no
// "inf" or "nan", no empty text. A number too large for a double is not one
// either; one too small to represent is 0 or the nearest tiny value.
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
