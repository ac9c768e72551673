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
// What counts as a number is the host's: on POSIX optional blanks, an
// optional sign, digits with an optional decimal point (the locale's), an
// optional exponent, optional blanks, and nothing else. The five rejected
// characters keep the stored text a plain digit string whatever that syntax
// lets through: a sign other than "+", a decimal point, an upper-case
// exponent or a blank within the first five characters fails.
bool Cislo(const Host& host, std::string text);

}  // namespace kelmor
