// SPDX-License-Identifier: GPL-3.0-or-later
// The host's numeric text.
#include <gtest/gtest.h>

#include <clocale>
#include <optional>
#include <string>
#include <vector>

#include "core/posix/posix_numeric_text.hpp"
#include "core/posix/posix_host.hpp"

namespace kelmor::posix {
namespace {

struct Case {
    std::string text;
    std::optional<double> expected;
};
constexpr std::nullopt_t no = std::nullopt;

TEST(NumericText, AcceptsSignedDecimalsWithExponentAndBlanksAround) {
    const std::vector<Case> cases = {
        {"10", 10},
        {" 100", 100},
        {"100 ", 100},
        {"  12  ", 12},
        {"+1000", 1000},
        {"-100", -100},
        {"1e4", 1e4},
        {"1E4", 1e4},
        {"1.5E4", 15000},
        {"1e+4", 1e4},
        {"25e-2", 0.25},
        {"1.", 1},
        {".5", 0.5},
        {"+.5e-1", 0.05},
        {"00010", 10},
        {"020000", 20000},
        {"-0", 0},
        {"1e-999", 0},
        {"", no},
        {" ", no},
        {".", no},
        {"-", no},
        {"+", no},
        {"e4", no},
        {"1e", no},
        {"1e+", no},
        {".e1", no},
        {"--1", no},
        {"+-1", no},
        {"- 1", no},
        {"1 2", no},
        {"1.5.2", no},
        {"1e4.5", no},
        {"12,5", no},
        {"1,000", no},
        {"0x10", no},
        {"inf", no},
        {"nan", no},
        {"1e999", no},
        {"10a", no},
        {"\t100", no},
        {"100\t", no},
        {std::string("1\0", 2), no},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("\"" + c.text + "\"");
        EXPECT_EQ(parseNumericText(c.text, "."), c.expected);
    }
}

TEST(NumericText, UsesTheGivenDecimalPointOnly) {
    const std::vector<Case> cases = {
        {"12,5", 12.5}, {"1,5E4", 15000}, {",5", 0.5}, {"12.5", no}, {"1,0,0", no}};
    for (const auto& c : cases) EXPECT_EQ(parseNumericText(c.text, ","), c.expected) << c.text;
    // A point of several bytes, as some locales have in UTF-8.
    EXPECT_EQ(parseNumericText("1\xd9\xab"
                               "5",
                               "\xd9\xab"),
              1.5);
    EXPECT_EQ(parseNumericText("1\xd9"
                               "5",
                               "\xd9\xab"),
              no);
}

TEST(NumericText, TheHostFollowsTheCurrentLocale) {
    PosixHostOptions options;
    options.applicationFolder = "/";
    const PosixHost host(options);
    EXPECT_EQ(host.numericValue("1.5"), 1.5);
    EXPECT_EQ(host.numericValue("12,5"), no);

    const std::string before = std::setlocale(LC_NUMERIC, nullptr);
    bool switched = false;
    for (const char* name : {"de_DE.UTF-8", "cs_CZ.UTF-8", "fr_FR.UTF-8"}) {
        if (!switched && std::setlocale(LC_NUMERIC, name) != nullptr) switched = true;
    }
    if (!switched) GTEST_SKIP() << "no locale with a decimal comma installed";
    const auto comma = host.numericValue("12,5"), point = host.numericValue("12.5");
    std::setlocale(LC_NUMERIC, before.c_str());
    EXPECT_EQ(comma, 12.5);
    EXPECT_EQ(point, no);
}

}  // namespace
}  // namespace kelmor::posix
