// SPDX-License-Identifier: GPL-3.0-or-later
// Numeric text and Cislo. Input: the text of the cycles box. A number is
// finite and the same whatever the decimal point but where the text holds
// one; a digit string is its own value; a text Cislo accepts is a number
// from 10 to 65536 with none of its five rejected characters among the
// first five, after the zeros it fills in.
#include <cmath>
#include <string>

#include "config_tool/cislo.hpp"
#include "core/posix/posix_numeric_text.hpp"
#include "core/posix/posix_host.hpp"
#include "tests/fuzz/fuzz_support.hpp"

using namespace kelmor;
using fuzz::expect;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const auto point = posix::parseNumericText(text, ".");
    const auto comma = posix::parseNumericText(text, ",");
    if (point) expect(std::isfinite(*point), "a number is finite");
    if (text.find_first_of(".,") == std::string::npos)
        expect(point == comma, "no point, one value");
    if (!text.empty() && text.size() <= 15 &&
        text.find_first_not_of("0123456789") == std::string::npos)
        expect(point == std::stod(text), "a digit string is its own value");

    static const posix::PosixHost host({.applicationFolder = "/", .configHome = "/nonexistent"});
    if (!Cislo(host, text)) return 0;
    const auto value = host.numericValue(text);
    expect(value && *value >= 10 && *value <= 65536, "accepted cycles lie in 10 to 65536");
    std::string filled = text;
    if (filled.size() == 2) filled.insert(0, "000");
    if (filled.size() == 3) filled.insert(0, "00");
    if (filled.size() == 4) filled.insert(0, "0");
    expect(filled.substr(0, 5).find_first_of(",-.E ") == std::string::npos,
           "no rejected character among the first five");
    return 0;
}
