// SPDX-License-Identifier: GPL-3.0-or-later
// The Windows bitmap decoder.
#include <cstdint>
#include <string_view>
#include <vector>

#include "core/pictures/image.hpp"
#include "core/pictures/untrusted_bytes.hpp"

namespace kelmor::pictures {
namespace {

struct Rgb {
    std::uint8_t red = 0, green = 0, blue = 0;
};
using Palette = std::vector<Rgb>;

void setPixel(Image& image, int x, int y, Rgb colour) {
    const std::size_t at = (static_cast<std::size_t>(y) * image.width + x) * 3;
    image.rgb[at] = colour.red;
    image.rgb[at + 1] = colour.green;
    image.rgb[at + 2] = colour.blue;
}

Rgb lookUp(const Palette& palette, unsigned index, std::string_view format) {
    if (index >= palette.size()) reject(format, "colour index outside the palette");
    return palette[index];
}

constexpr std::string_view kBmp = "BMP";
constexpr std::uint32_t kUncompressed = 0;
constexpr std::uint32_t kBitFields = 3;
constexpr std::size_t kFileHeaderSize = 14;
constexpr std::uint32_t kInfoHeaderSize = 40;

struct BmpLayout {
    std::int64_t width = 0;
    std::int64_t height = 0;  // always positive; topDown tells the row order
    bool topDown = false;
    unsigned bitsPerPixel = 0;
    std::uint32_t pixelOffset = 0;
    Palette palette;
};

// Only the standard BGRX layout is accepted with bit fields. The masks sit
// right after a 40-byte header, or inside the larger headers at the same place.
void checkBitFields(Reader& in, unsigned bitsPerPixel) {
    if (bitsPerPixel != 32) in.fail("bit fields need 32 bits per pixel");
    in.seek(kFileHeaderSize + kInfoHeaderSize);
    const std::uint32_t red = in.u32(), green = in.u32(), blue = in.u32();
    if (red != 0x00FF0000 || green != 0x0000FF00 || blue != 0x000000FF)
        in.fail("unsupported colour masks");
}

Palette readBmpPalette(Reader& in, unsigned bitsPerPixel, std::uint32_t coloursUsed) {
    const std::uint32_t most = 1u << bitsPerPixel;
    if (coloursUsed > most) in.fail("palette too large");
    Palette palette(coloursUsed == 0 ? most : coloursUsed);
    for (Rgb& colour : palette) {
        const Bytes entry = in.take(4);  // blue, green, red, unused
        colour = {entry[2], entry[1], entry[0]};
    }
    return palette;
}

// The fields of the file header and the BITMAPINFOHEADER part of the info header.
struct BmpFields {
    std::uint32_t pixelOffset = 0, headerSize = 0, compression = 0, coloursUsed = 0;
    std::int32_t width = 0, height = 0;
    unsigned bitsPerPixel = 0;
};

BmpFields readBmpFields(Reader& in) {
    const Bytes magic = in.take(2);
    if (magic[0] != 'B' || magic[1] != 'M') in.fail("not a bitmap");
    in.take(8);  // file size and reserved words: not trusted, not needed
    BmpFields fields;
    fields.pixelOffset = in.u32();
    fields.headerSize = in.u32();
    if (fields.headerSize < kInfoHeaderSize) in.fail("unsupported header");
    fields.width = static_cast<std::int32_t>(in.u32());
    fields.height = static_cast<std::int32_t>(in.u32());
    in.u16();  // planes
    fields.bitsPerPixel = in.u16();
    fields.compression = in.u32();
    in.take(12);  // image size, resolution
    fields.coloursUsed = in.u32();
    return fields;
}

BmpLayout readBmpLayout(Reader& in) {
    const BmpFields fields = readBmpFields(in);
    const unsigned bits = fields.bitsPerPixel;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32)
        in.fail("unsupported bit depth");
    if (fields.compression == kBitFields) {
        checkBitFields(in, bits);
    } else if (fields.compression != kUncompressed) {
        in.fail("compressed bitmaps are not supported");
    }
    BmpLayout layout;
    layout.width = fields.width;
    layout.topDown = fields.height < 0;
    layout.height = layout.topDown ? -std::int64_t{fields.height} : fields.height;
    layout.bitsPerPixel = bits;
    layout.pixelOffset = fields.pixelOffset;
    if (bits <= 8) {  // the palette follows the info header
        in.seek(kFileHeaderSize + std::uint64_t{fields.headerSize});
        layout.palette = readBmpPalette(in, bits, fields.coloursUsed);
    }
    return layout;
}

Rgb bmpPixel(Bytes row, int x, const BmpLayout& layout) {
    const unsigned bits = layout.bitsPerPixel;
    if (bits >= 24) {
        const std::size_t at = static_cast<std::size_t>(x) * (bits / 8);
        return {row[at + 2], row[at + 1], row[at]};
    }
    const std::size_t bit = static_cast<std::size_t>(x) * bits;
    const unsigned index = (row[bit / 8] >> (8 - bits - bit % 8)) & ((1u << bits) - 1);
    return lookUp(layout.palette, index, kBmp);
}

}  // namespace

Image decodeBmp(std::span<const std::uint8_t> bytes) {
    Reader in(bytes, kBmp);
    const BmpLayout layout = readBmpLayout(in);
    Image image = blankImage(layout.width, layout.height, kBmp);
    const std::uint64_t stride =
        (static_cast<std::uint64_t>(layout.width) * layout.bitsPerPixel + 31) / 32 * 4;
    in.seek(layout.pixelOffset);
    const Bytes pixels = in.take(static_cast<std::size_t>(stride * layout.height));
    for (int y = 0; y < image.height; ++y) {
        const int stored = layout.topDown ? y : image.height - 1 - y;
        const Bytes row = pixels.subspan(static_cast<std::size_t>(stored * stride),
                                         static_cast<std::size_t>(stride));
        for (int x = 0; x < image.width; ++x) setPixel(image, x, y, bmpPixel(row, x, layout));
    }
    return image;
}

}  // namespace kelmor::pictures
