// SPDX-License-Identifier: GPL-3.0-or-later
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
// range then decides.
class FixedValueHost : public FakeHost {
public:
    explicit FixedValueHost(std::optional<double> value) : value_(value) {}
    std::optional<double> numericValue(std::string_view) const override { return value_; }

private:
    std::optional<double> value_;
};

TEST(Cislo, ComparesTheBoundsAsDoubles) {
    struct Case {
        std::optional<double> value;
        bool accepted;
    };
    const Case cases[] = {
        {9.999999, false},     {10.0, true},
        {65536.0, true},       {65536.000001, false},
        {std::nullopt, false}, {std::numeric_limits<double>::quiet_NaN(), false},
    };
    for (const Case& c : cases) {
        const FixedValueHost host(c.value);
        EXPECT_EQ(Cislo(host, "12345"), c.accepted)
            << (c.value ? std::to_string(*c.value) : "none");
    }
}

}  // namespace
}  // namespace kelmor
