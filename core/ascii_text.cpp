// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/ascii_text.hpp"

namespace kelmor {

std::string lowerAscii(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) c = lowerAscii(c);
    return lower;
}

std::string upperAscii(std::string_view text) {
    std::string upper(text);
    for (char& c : upper) c = upperAscii(c);
    return upper;
}

bool equalIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (lowerAscii(a[i]) != lowerAscii(b[i])) return false;
    return true;
}

std::string_view trimBlanks(std::string_view text, std::string_view blanks) {
    const auto first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(blanks);
    return text.substr(first, last - first + 1);
}

std::optional<LineWord> nextWord(std::string_view line, std::size_t& at, std::string_view blanks) {
    while (at < line.size() && isBlank(line[at], blanks)) ++at;
    if (at >= line.size()) return std::nullopt;
    LineWord word;
    word.begin = at;
    if (line[at] == '"') {
        word.quoted = true;
        const std::size_t close = line.find('"', at + 1);
        const std::size_t textEnd = close == std::string_view::npos ? line.size() : close;
        word.text = line.substr(at + 1, textEnd - at - 1);
        at = close == std::string_view::npos ? line.size() : close + 1;
    } else {
        while (at < line.size() && !isBlank(line[at], blanks)) ++at;
        word.text = line.substr(word.begin, at - word.begin);
    }
    word.end = at;
    return word;
}

}  // namespace kelmor
