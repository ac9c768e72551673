// SPDX-License-Identifier: GPL-3.0-or-later
// The numeric text both hosts read, with the separators of a locale.
#include "core/numeric_text.hpp"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace kelmor {
namespace {

// The locale gives the decimal point only: its thousands separator is no
// part of a number (a no-break space in Czech and French, "\xc2\xa0").
TEST(NumericText, TheLocalesPointAndNoGroups) {
    struct Case {
        std::string text;
        std::string_view point;
        std::optional<double> value;
    };
    constexpr std::nullopt_t no = std::nullopt;
    const std::vector<Case> cases = {
        {"20,000", ".", no},
        {"1,000.5", ".", no},
        {" -1000.5 ", ".", -1000.5},
        {"12,5", ",", 12.5},
        {"1.5", ",", no},
        {"20.000,5", ",", no},
        {"20\xc2\xa0"
         "000",
         ",", no},
        {"20\xc2\xa0"
         "00",
         ",", no},
        {"10'000", ".", no},
        {"1\t", ".", no},
        {"1e400", ".", no},
        {"1e-400", ".", 0},
        {"1.e2", ".", 100},
        {"1.5", "", 1.5},
    };
    for (const Case& c : cases)
        EXPECT_EQ(parseNumber(c.text, c.point), c.value) << c.text << " with \"" << c.point << "\"";
}

}  // namespace
}  // namespace kelmor
