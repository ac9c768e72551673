// SPDX-License-Identifier: GPL-3.0-or-later
// ASCII text: letter case, blanks and the words of a line. Only A to Z and
// a to z are letters and only the blanks named are blanks, so every other
// byte (UTF-8, a code page's letters) passes through as it is.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace kelmor {

constexpr char lowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

constexpr char upperAscii(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// A text with A to Z as a to z; every other byte as it is.
std::string lowerAscii(std::string_view text);

// A text with a to z as A to Z; every other byte as it is.
std::string upperAscii(std::string_view text);

// Whether two texts are equal without regard to ASCII letter case.
bool equalIgnoringAsciiCase(std::string_view a, std::string_view b);

// Space and tab: what stands between the words of a line.
inline constexpr std::string_view kBlanks = " \t";

// The blanks and CR: for lines cut at LF alone, whose CR LF end leaves a CR.
inline constexpr std::string_view kBlanksAndCr = " \t\r";

constexpr bool isBlank(char c, std::string_view blanks = kBlanks) {
    return blanks.find(c) != std::string_view::npos;
}

// A text without the blanks at either end.
std::string_view trimBlanks(std::string_view text, std::string_view blanks = kBlanks);

// One word of a line: where it stands (its quotes included) and its text.
struct LineWord {
    std::size_t begin = 0;
    std::size_t end = 0;
    std::string_view text;
    bool quoted = false;
};

// The next word of a line from `at` on, and `at` moved to its end; nothing
// when only blanks are left. A word that starts with a double quote runs to
// the next one, blanks included (to the line's end when none follows), and
// its text is what stands between them; any other word runs to the next
// blank, quotes within it included.
std::optional<LineWord> nextWord(std::string_view line, std::size_t& at,
                                 std::string_view blanks = kBlanks);

}  // namespace kelmor
