// SPDX-License-Identifier: GPL-3.0-or-later
// What the picture decoders share: reading untrusted bytes, every read
// bounds-checked, and refusing a malformed picture with a short reason.
#pragma once

#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>

#include "core/pictures/image.hpp"

namespace kelmor::pictures {

using Bytes = std::span<const std::uint8_t>;

// Throws std::invalid_argument: "<format>: <reason>".
[[noreturn]] inline void reject(std::string_view format, std::string_view reason) {
    throw std::invalid_argument(std::string(format) + ": " + std::string(reason));
}

// Little-endian fields from untrusted bytes; every read is bounds-checked.
class Reader {
public:
    Reader(Bytes bytes, std::string_view format) : bytes_(bytes), format_(format) {}

    Bytes take(std::size_t count) {
        if (count > bytes_.size() - position_) fail("truncated");
        const Bytes part = bytes_.subspan(position_, count);
        position_ += count;
        return part;
    }
    std::uint8_t u8() { return take(1)[0]; }
    std::uint16_t u16() {
        const Bytes b = take(2);
        return static_cast<std::uint16_t>(b[0] | b[1] << 8);
    }
    std::uint32_t u32() {
        const Bytes b = take(4);
        return b[0] | b[1] << 8 | b[2] << 16 | std::uint32_t{b[3]} << 24;
    }
    std::uint32_t u32BigEndian() {
        const Bytes b = take(4);
        return std::uint32_t{b[0]} << 24 | b[1] << 16 | b[2] << 8 | b[3];
    }
    void seek(std::uint64_t position) {
        if (position > bytes_.size()) fail("truncated");
        position_ = static_cast<std::size_t>(position);
    }
    [[noreturn]] void fail(std::string_view reason) const { reject(format_, reason); }

private:
    Bytes bytes_;
    std::size_t position_ = 0;
    std::string_view format_;
};

// A picture of that size with every pixel black; refuses an empty one and
// one larger than kMaxImagePixels before reserving any memory.
Image blankImage(std::int64_t width, std::int64_t height, std::string_view format);

}  // namespace kelmor::pictures
