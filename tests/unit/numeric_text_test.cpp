// The numeric text both hosts read, with the separators of a locale.
#include "core/numeric_text.hpp"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace kelmor {
namespace {

TEST(NumericText, GroupsStandBetweenDigitsOfTheIntegerPart) {
    struct Case {
        std::string text;
        NumberSeparators separators;
        std::optional<double> value;
    };
    constexpr std::nullopt_t no = std::nullopt;
    const NumberSeparators english{".", ","}, german{",", "."}, czech{",", "\xc2\xa0"};
    const std::vector<Case> cases = {
        {"20,000", english, 20000},     {"1,000.5", english, 1000.5}, {"1,0,0", english, 100},
        {" -1,000 ", english, -1000},   {"1,000e2", english, 1e5},    {",100", english, no},
        {"100,", english, no},          {"1,,0", english, no},        {"1.5,0", english, no},
        {"1,5e1,0", english, no},       {"20.000,5", german, 20000.5}, {"1.000", german, 1000},
        {"12,5", german, 12.5},         {"1.5", german, 15},
        {"20\xc2\xa0" "000", czech, 20000}, {"20 000", czech, no}, {"20\xc2" "000", czech, no},
        {"1,5", {",", ","}, 1.5},        {"1\t", english, no},  // the decimal point wins; no tabs
        {"1e400", english, no},         {"1e-400", english, 0},       {"1.e2", english, 100},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(parseNumber(c.text, c.separators), c.value)
            << c.text << " with \"" << c.separators.decimalPoint << "\" and \""
            << c.separators.thousands << "\"";
    }
}

}  // namespace
}  // namespace kelmor
