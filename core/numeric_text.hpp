// Numeric text, as both hosts read it:
//
//     number   = blanks [ "+" | "-" ] mantissa [ exponent ] blanks
//     mantissa = integer [ point [ digits ] ] | point digits
//     integer  = digits { group digits }
//     exponent = ( "e" | "E" ) [ "+" | "-" ] digits
//     digits   = one or more of 0 to 9
//     blanks   = zero or more spaces (a tab is not one)
//     point    = the decimal separator of the user's locale
//     group    = its thousands separator, when the host has one, between two
//                digits of the integer part (anywhere, as Windows' own
//                conversions accept it: "1,0" is 10 where "," groups)
//
// Nothing else is a number: no hexadecimal, no "inf" or "nan", no empty
// text. A number too large for a double is not one either; one too small to
// represent is 0 or the nearest tiny value. The conversion does not depend
// on the process's C locale.
#pragma once

#include <optional>
#include <string_view>

namespace kelmor {

struct NumberSeparators {
    std::string_view decimalPoint = ".";  // "." when empty
    std::string_view thousands = {};      // none when empty
};

// The value of a numeric text; nothing when the text is not a number.
// Checking and converting are this one parse.
std::optional<double> parseNumber(std::string_view text, NumberSeparators separators);

}  // namespace kelmor
