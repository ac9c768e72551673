// SPDX-License-Identifier: GPL-3.0-or-later
// Text conventions shared by every program: CR LF line ends, Windows paths.
#pragma once

#include <string>
#include <string_view>

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

}  // namespace kelmor
