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

}  // namespace kelmor
