// SPDX-License-Identifier: GPL-3.0-or-later
// The check of the CPU cycles box: may its text be stored as the DOSBox
// cycle count?
#pragma once

#include <string>

namespace kelmor {

class Host;

// True when the text is a number (by the host's numeric text) from 10 to
// 65536 and none of its first five characters, after zeros are filled in on
// the left of a copy of 2 to 4 characters, is a comma, hyphen-minus, full
// stop, upper-case E or blank. Works on its own copy; never fails.
//
// What counts as a number is the host's: on POSIX optional spaces, an
// optional sign, digits with an optional decimal point (the locale's), an
// optional exponent, optional spaces, and nothing else (a tab is no blank).
// Within the first five characters the rejected ones leave only digits, a
// leading "+" and a lower-case exponent "e"; the dialog's box takes five.
bool Cislo(const Host& host, std::string text);

}  // namespace kelmor
