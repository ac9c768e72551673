// SPDX-License-Identifier: GPL-3.0-or-later
// What the fuzz targets share: the property check that ends the run, and
// the input cut into fields at NUL bytes.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace kelmor::fuzz {

// Ends the run, so that libFuzzer keeps the input, when a property fails.
inline void expect(bool holds, const char* property) {
    if (holds) return;
    std::fprintf(stderr, "property failed: %s\n", property);
    std::abort();
}

// The input as `count` fields: cut at the first count - 1 NUL bytes, the
// missing ones empty.
inline std::vector<std::string> fields(const std::uint8_t* data, std::size_t size,
                                       std::size_t count) {
    std::string_view rest(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> parts;
    while (parts.size() + 1 < count) {
        const std::size_t nul = rest.find('\0');
        parts.emplace_back(rest.substr(0, nul));
        rest = nul == std::string_view::npos ? std::string_view() : rest.substr(nul + 1);
    }
    parts.emplace_back(rest);
    return parts;
}

// Lines of a text whose lines end at LF; a last line without one counts.
inline std::size_t lineCount(std::string_view text) {
    std::size_t count = 0;
    for (char c : text) count += c == '\n';
    return count + (!text.empty() && text.back() != '\n');
}

}  // namespace kelmor::fuzz
