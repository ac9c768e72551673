// SPDX-License-Identifier: GPL-3.0-or-later
#include "config_tool/cislo.hpp"

#include <array>
#include <optional>

#include "core/host.hpp"

namespace kelmor {
namespace {

constexpr double kLowestCycles = 10;
constexpr double kHighestCycles = 65536;
constexpr std::size_t kExaminedCharacters = 5;
constexpr std::array<char, 5> kRejectedCharacters{',', '-', '.', 'E', ' '};

bool isRejected(char c) {
    for (char rejected : kRejectedCharacters)
        if (c == rejected) return true;
    return false;
}

}  // namespace

bool Cislo(const Host& host, std::string text) {
    const std::optional<double> value = host.numericValue(text);
    if (!value) return false;
    // Written as "not within" so that a value that is no number at all
    // (NaN) can never pass.
    if (!(*value >= kLowestCycles)) return false;
    if (!(*value <= kHighestCycles)) return false;

    // Zeros on the left make sure five characters exist to be examined.
    if (text.size() == 2) text.insert(0, "000");
    if (text.size() == 3) text.insert(0, "00");
    if (text.size() == 4) text.insert(0, "0");

    for (std::size_t i = 0; i < kExaminedCharacters && i < text.size(); ++i)
        if (isRejected(text[i])) return false;
    return true;
}

}  // namespace kelmor
