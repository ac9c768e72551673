// SPDX-License-Identifier: GPL-3.0-or-later
// Pictures as plain RGB pixels, and decoders for the two file formats the
// kit's pictures are stored in. The decoders treat their input as untrusted:
// they never read outside it and refuse anything malformed or truncated.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace kelmor::pictures {

// width * height pixels of three bytes each (red, green, blue), top row first,
// each row from left to right.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;
};

// The largest picture either decoder accepts, in pixels. Larger sizes are
// refused before any pixel memory is reserved.
inline constexpr std::int64_t kMaxImagePixels = std::int64_t{1} << 24;

// Windows bitmap (.bmp): a BITMAPINFOHEADER or one of its larger successors
// (V4, V5); uncompressed 1, 4 and 8 bits per pixel with a palette, 24 bits,
// and 32 bits (plain or with the standard BGRX bit fields; the fourth byte is
// ignored). Rows stored bottom-up or top-down, each padded to 4 bytes.
// Throws std::invalid_argument with a short reason.
Image decodeBmp(std::span<const std::uint8_t> bytes);

// PNG: 8 bits per sample RGB (colour type 2), not interlaced, the kind a
// true-colour picture is stored as; ancillary chunks are passed over, and
// so is a suggested palette. The zlib stream's check sum is checked, the
// chunks' CRCs are not. Throws std::invalid_argument with a short reason.
Image decodePng(std::span<const std::uint8_t> bytes);

}  // namespace kelmor::pictures
