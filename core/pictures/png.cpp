// SPDX-License-Identifier: GPL-3.0-or-later
// The PNG decoder: the kit's own kind of PNG only, 8-bit RGB without
// interlacing.
#include <algorithm>
#include <array>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "core/pictures/image.hpp"
#include "core/pictures/inflate.hpp"
#include "core/pictures/untrusted_bytes.hpp"

namespace kelmor::pictures {
namespace {

constexpr std::string_view kPng = "PNG";
constexpr std::array<std::uint8_t, 8> kPngSignature{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

// What a row's filter predicts a byte from: the byte a pixel before, the one
// above and the one above that.
std::uint8_t predict(unsigned filter, int left, int above, int aboveLeft) {
    const int estimate = left + above - aboveLeft;  // Paeth's
    const int toLeft = std::abs(estimate - left), toAbove = std::abs(estimate - above),
              toAboveLeft = std::abs(estimate - aboveLeft);
    switch (filter) {
        case 0: return 0;
        case 1: return static_cast<std::uint8_t>(left);
        case 2: return static_cast<std::uint8_t>(above);
        case 3: return static_cast<std::uint8_t>((left + above) / 2);
        case 4:
            if (toLeft <= toAbove && toLeft <= toAboveLeft) return static_cast<std::uint8_t>(left);
            return static_cast<std::uint8_t>(toAbove <= toAboveLeft ? above : aboveLeft);
        default: reject(kPng, "unknown row filter");
    }
}

// Undoes each row's filter: `rows` are the decompressed rows, each led by its
// filter type; the image gets the pixels, three bytes each.
void unfilter(const std::vector<std::uint8_t>& rows, Image& image) {
    const std::size_t stride = static_cast<std::size_t>(image.width) * 3;
    for (std::size_t y = 0; y < static_cast<std::size_t>(image.height); ++y) {
        const std::uint8_t* stored = &rows[y * (stride + 1)];
        std::uint8_t* row = &image.rgb[y * stride];
        const std::uint8_t* above = y > 0 ? row - stride : nullptr;
        for (std::size_t i = 0; i < stride; ++i) {
            const int left = i >= 3 ? row[i - 3] : 0, up = above ? above[i] : 0;
            const int upLeft = above && i >= 3 ? above[i - 3] : 0;
            row[i] =
                static_cast<std::uint8_t>(stored[1 + i] + predict(stored[0], left, up, upLeft));
        }
    }
}

// The header chunk: only 8-bit RGB without interlacing, the kit's own kind.
Image readPngHeader(Reader& in) {
    if (in.u32BigEndian() != 13) in.fail("no header");
    const Bytes type = in.take(4);
    if (std::string_view(reinterpret_cast<const char*>(type.data()), 4) != "IHDR")
        in.fail("no header");
    const std::uint32_t width = in.u32BigEndian(), height = in.u32BigEndian();
    const Bytes kind = in.take(5);  // depth, colour type, compression, filter, interlace
    if (kind[0] != 8 || kind[1] != 2 || kind[2] != 0 || kind[3] != 0 || kind[4] != 0)
        in.fail("only 8-bit RGB pictures without interlacing are supported");
    in.take(4);  // CRC: not checked; the data's own check sum is
    return blankImage(width, height, kPng);
}

// The picture's compressed data: its IDAT chunks joined, up to IEND.
std::vector<std::uint8_t> readPngData(Reader& in) {
    std::vector<std::uint8_t> data;
    for (;;) {
        const std::uint32_t length = in.u32BigEndian();
        const Bytes type = in.take(4);
        const std::string_view name(reinterpret_cast<const char*>(type.data()), 4);
        const Bytes content = in.take(length);
        in.take(4);  // CRC
        if (name == "IEND") return data;
        if (name == "IDAT") {
            data.insert(data.end(), content.begin(), content.end());
        } else if (!(type[0] & 0x20) && name != "PLTE") {  // a suggested palette is of no use here
            in.fail("unknown critical chunk");
        }
    }
}

}  // namespace

Image decodePng(std::span<const std::uint8_t> bytes) {
    Reader in(bytes, kPng);
    if (!std::ranges::equal(in.take(kPngSignature.size()), kPngSignature))
        in.fail("not a PNG picture");
    Image image = readPngHeader(in);
    const std::vector<std::uint8_t> data = readPngData(in);
    const std::size_t stride = static_cast<std::size_t>(image.width) * 3 + 1;
    unfilter(inflateZlib(data, stride * image.height), image);
    return image;
}

}  // namespace kelmor::pictures
