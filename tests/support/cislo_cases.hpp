// SPDX-License-Identifier: GPL-3.0-or-later
// Texts of the CPU cycles box and whether they may be stored, for checks
// on any host whose numeric text follows the kit's syntax: optional spaces,
// an optional sign, digits with an optional decimal point, an optional
// exponent, optional spaces.
#pragma once

#include <array>
#include <string_view>

namespace kelmor::testing {

struct CisloCase {
    std::string_view text;
    bool accepted;
    std::string_view why;
};

inline constexpr std::array<CisloCase, 15> kCisloTable{{
    {"", false, "empty: not a number"},
    {"9", false, "below 10"},
    {"10", true, "lower bound is inclusive"},
    {"65536", true, "upper bound is inclusive"},
    {"65537", false, "above 65536"},
    {"00010", true, "leading zeros are allowed; the value is 10"},
    {"020000", true, "only the first five characters are examined"},
    {" 100", false, "filled to 0 100: blank at position 2"},
    {"100 ", false, "filled to 0100 and a blank: blank at position 5"},
    {"12,5", false, "a comma within the first five characters"},
    {"1.5E4", false, "a full stop within the first five characters"},
    {"-100", false, "below 10"},
    {"1E4", false, "filled to 001E4: upper-case E at position 4"},
    {"1e4", true, "lower-case e is not rejected; 10000 is in range"},
    {"+1000", true, "the plus sign is not rejected"},
}};

// Where the syntax itself decides.
inline constexpr std::array<CisloCase, 19> kCisloSyntaxCases{{
    {"abc", false, "letters are no number"},
    {"123x", false, "trailing garbage"},
    {"0x20", false, "no hexadecimal"},
    {"inf", false, "no infinity"},
    {"nan", false, "no NaN"},
    {"1e", false, "an exponent needs digits"},
    {"--100", false, "one sign at most"},
    {"1 000", false, "no blanks inside the number"},
    {"+10", true, "filled to 00+10; a plus sign passes"},
    {"1e+4", true, "filled to 01e+4; a signed exponent passes"},
    {"7e4", false, "70000 is above 65536"},
    {"1e-4", false, "0.0001 is below 10"},
    {"65536.0", true, "the point stands at position 6, beyond the examined five"},
    {"10000.5", true, "the point stands at position 6"},
    {"65536.5", false, "above 65536 by half"},
    {"  20", false, "filled to 0  20: blanks at positions 2 and 3"},
    {"20000 ", true, "a trailing blank at position 6 is not examined"},
    {"\t100", false, "a tab is no blank: no number"},
    {"100\t", false, "a tab is no blank: no number"},
}};

}  // namespace kelmor::testing
