#include "config_tool/cislo.hpp"

#include <gtest/gtest.h>

#include <limits>
#include <optional>

#include "tests/support/cislo_cases.hpp"
#include "tests/support/fake_host.hpp"

namespace kelmor {
namespace {

using testing::FakeHost;

TEST(Cislo, DecidesEveryRowOfTheTable) {
    const FakeHost host;
    for (const auto& c : testing::kCisloTable)
        EXPECT_EQ(Cislo(host, std::string(c.text)), c.accepted) << "'" << c.text << "': " << c.why;
}

TEST(Cislo, FollowsTheNumericSyntax) {
    const FakeHost host;
    for (const auto& c : testing::kCisloSyntaxCases)
        EXPECT_EQ(Cislo(host, std::string(c.text)), c.accepted) << "'" << c.text << "': " << c.why;
}

// A host whose numeric text reads any text as one fixed value: only the
// range and the five examined characters then decide.
class FixedValueHost : public FakeHost {
public:
    explicit FixedValueHost(std::optional<double> value) : value_(value) {}
    std::optional<double> numericValue(std::string_view) const override { return value_; }

private:
    std::optional<double> value_;
};

TEST(Cislo, ExaminesTheFirstFiveCharactersOfTheFilledCopy) {
    struct Case {
        std::string_view text;
        bool accepted;
    };
    const Case cases[] = {
        {",2345", false}, {"1-345", false}, {"12.45", false}, {"123E5", false}, {"1234 ", false},
        {"12345,", true},  // sixth character: not examined
        {"e2345", true},   // only the upper-case E is rejected
        {"1,", false},     // filled to 0001,
        {"12", true},      // filled to 00012
        {"1", true},       // a single character is not filled and passes
    };
    for (const Case& c : cases) {
        const FixedValueHost host(1000.0);
        EXPECT_EQ(Cislo(host, std::string(c.text)), c.accepted) << c.text;
    }
}

TEST(Cislo, ComparesTheBoundsAsDoubles) {
    struct Case {
        std::optional<double> value;
        bool accepted;
    };
    const Case cases[] = {
        {9.999999, false}, {10.0, true}, {65536.0, true}, {65536.000001, false},
        {std::nullopt, false}, {std::numeric_limits<double>::quiet_NaN(), false},
    };
    for (const Case& c : cases) {
        const FixedValueHost host(c.value);
        EXPECT_EQ(Cislo(host, "12345"), c.accepted) << (c.value ? std::to_string(*c.value) : "none");
    }
}

}  // namespace
}  // namespace kelmor
