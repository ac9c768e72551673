// SPDX-License-Identifier: GPL-3.0-or-later
// ASCII text: letter case at the edges of the alphabet, and the words of a
// line as cue sheets and MOUNT lines are read.
#include "core/ascii_text.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kelmor {
namespace {

// '@' '[' '`' '{' stand next to the letters and differ from them by 32 as
// the letters' cases do; bytes above ASCII are letters of no case here.
TEST(AsciiText, OnlyAToZChangeCase) {
    struct Case {
        std::string text, lower, upper;
    };
    const std::vector<Case> cases = {
        {"@AZ[`az{", "@az[`az{", "@AZ[`AZ{"},
        {"\xC3\x84\xC3\xA4\xC4\xE4", "\xC3\x84\xC3\xA4\xC4\xE4", "\xC3\x84\xC3\xA4\xC4\xE4"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(lowerAscii(c.text), c.lower) << c.text;
        EXPECT_EQ(upperAscii(c.text), c.upper) << c.text;
    }
    struct Pair {
        std::string_view a, b;
        bool equal;
    };
    const std::vector<Pair> pairs = {
        {"AutoExec", "aUTOeXEC", true}, {"@", "`", false},          {"[", "{", false},
        {"\xC4", "\xE4", false},        {"mount", "mount ", false},
    };
    for (const Pair& p : pairs) EXPECT_EQ(equalIgnoringAsciiCase(p.a, p.b), p.equal) << p.a;
}

// Each word as "begin-end text", a quoted word's text in quotes.
std::vector<std::string> wordsOf(std::string_view line, std::string_view blanks) {
    std::vector<std::string> words;
    std::size_t at = 0;
    while (const auto word = nextWord(line, at, blanks)) {
        const std::string text(word->text);
        words.push_back(std::to_string(word->begin) + "-" + std::to_string(word->end) + " " +
                        (word->quoted ? "\"" + text + "\"" : text));
    }
    return words;
}

TEST(AsciiText, WordsOfALine) {
    struct Case {
        std::string line;
        std::string_view blanks;
        std::vector<std::string> words;
    };
    const std::vector<Case> cases = {
        {" FILE \"a b.bin\" BINARY", kBlanks, {"1-5 FILE", "6-15 \"a b.bin\"", "16-22 BINARY"}},
        {"\"no closing quote", kBlanks, {"0-17 \"no closing quote\""}},
        {"\"\" x", kBlanks, {"0-2 \"\"", "3-4 x"}},
        {"\"a\"b", kBlanks, {"0-3 \"a\"", "3-4 b"}},
        {"a\"b c\"", kBlanks, {"0-3 a\"b", "4-6 c\""}},
        {"a\tb\r", kBlanks, {"0-1 a", "2-4 b\r"}},
        {"a\tb\r", kBlanksAndCr, {"0-1 a", "2-3 b"}},
        {" \t\r", kBlanksAndCr, {}},
        {"", kBlanks, {}},
    };
    for (const Case& c : cases) EXPECT_EQ(wordsOf(c.line, c.blanks), c.words) << c.line;
}

}  // namespace
}  // namespace kelmor
