// SPDX-License-Identifier: GPL-3.0-or-later
// Text conventions shared by every program: CR LF line ends, Windows paths.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kelmor {

inline constexpr std::string_view kCrLf = "\r\n";

// The first n characters of a text (all of it when it is shorter).
inline std::string leftOf(std::string_view text, std::size_t n) {
    return std::string(text.substr(0, n));
}

// A message as one line for a terminal: "title: text" and a line feed, each
// line end within title or text (CR LF, CR or LF) a blank.
inline std::string messageLine(std::string_view title, std::string_view text) {
    std::string line;
    for (const std::string_view part : {title, std::string_view(": "), text}) {
        for (std::size_t i = 0; i < part.size(); ++i) {
            if (part[i] == '\r' && i + 1 < part.size() && part[i + 1] == '\n') continue;
            line += (part[i] == '\r' || part[i] == '\n') ? ' ' : part[i];
        }
    }
    return line + "\n";
}

// One line of a text: what it holds, and its end as it stands ("\n",
// "\r\n", or nothing for a last line without one).
struct TextLine {
    std::string_view content;
    std::string_view end;
};

// The lines of a text, each ending at LF; a CR before the LF belongs to the
// line's end.
inline std::vector<TextLine> textLines(std::string_view text) {
    std::vector<TextLine> lines;
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = text.find('\n', start);
        end = end == std::string_view::npos ? text.size() : end + 1;
        const std::string_view whole = text.substr(start, end - start);
        std::size_t content = whole.size();
        if (content > 0 && whole[content - 1] == '\n') --content;
        if (content > 0 && whole[content - 1] == '\r') --content;
        lines.push_back({whole.substr(0, content), whole.substr(content)});
        start = end;
    }
    return lines;
}

}  // namespace kelmor
