#include "core/image.hpp"

#include <algorithm>
#include <array>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace kelmor {
namespace {

using Bytes = std::span<const std::uint8_t>;

struct Rgb {
    std::uint8_t red = 0, green = 0, blue = 0;
};
using Palette = std::vector<Rgb>;

[[noreturn]] void reject(std::string_view format, std::string_view reason) {
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

Image blankImage(std::int64_t width, std::int64_t height, std::string_view format) {
    if (width <= 0 || height <= 0) reject(format, "empty picture");
    if (width > kMaxImagePixels || height > kMaxImagePixels || width * height > kMaxImagePixels)
        reject(format, "picture too large");
    Image image;
    image.width = static_cast<int>(width);
    image.height = static_cast<int>(height);
    image.rgb.resize(static_cast<std::size_t>(width * height) * 3);
    return image;
}

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

// ---- Windows bitmap ------------------------------------------------------

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
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32) in.fail("unsupported bit depth");
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
    const std::uint64_t stride = (static_cast<std::uint64_t>(layout.width) * layout.bitsPerPixel + 31) / 32 * 4;
    in.seek(layout.pixelOffset);
    const Bytes pixels = in.take(static_cast<std::size_t>(stride * layout.height));
    for (int y = 0; y < image.height; ++y) {
        const int stored = layout.topDown ? y : image.height - 1 - y;
        const Bytes row = pixels.subspan(static_cast<std::size_t>(stored * stride), static_cast<std::size_t>(stride));
        for (int x = 0; x < image.width; ++x) setPixel(image, x, y, bmpPixel(row, x, layout));
    }
    return image;
}

namespace {

// ---- GIF -----------------------------------------------------------------

constexpr std::string_view kGif = "GIF";
constexpr unsigned kMaxCodes = 4096;
constexpr unsigned kMaxCodeSize = 12;

struct GifScreen {
    int width = 0;
    int height = 0;
    std::uint8_t background = 0;
    Palette palette;
};

struct GifFrame {
    int left = 0, top = 0, width = 0, height = 0;
    bool interlaced = false;
    Palette palette;  // empty: use the global one
    std::vector<std::uint8_t> indices;  // in stored row order
};

Palette readGifPalette(Reader& in, std::uint8_t flags) {
    Palette palette(std::size_t{2} << (flags & 7));
    for (Rgb& colour : palette) {
        const Bytes entry = in.take(3);
        colour = {entry[0], entry[1], entry[2]};
    }
    return palette;
}

// Data sub-blocks: a length byte, that many bytes, ... up to a zero length.
std::vector<std::uint8_t> readSubBlocks(Reader& in) {
    std::vector<std::uint8_t> data;
    while (const std::uint8_t length = in.u8()) {
        const Bytes block = in.take(length);
        data.insert(data.end(), block.begin(), block.end());
    }
    return data;
}

// Reads the codes of an LZW stream, least significant bit first.
class CodeReader {
public:
    explicit CodeReader(Bytes data) : data_(data) {}
    unsigned read(unsigned size) {
        if (bit_ + size > data_.size() * 8) reject(kGif, "picture data ends early");
        unsigned code = 0;
        for (unsigned i = 0; i < size; ++i, ++bit_) code |= ((data_[bit_ / 8] >> (bit_ % 8)) & 1u) << i;
        return code;
    }

private:
    Bytes data_;
    std::size_t bit_ = 0;
};

// The string table: each code is an earlier code plus one index.
struct LzwTable {
    std::array<std::uint16_t, kMaxCodes> prefix{};
    std::array<std::uint8_t, kMaxCodes> last{};
    std::array<std::uint8_t, kMaxCodes> first{};
    std::array<std::uint16_t, kMaxCodes> length{};

    void literal(unsigned code) {
        last[code] = first[code] = static_cast<std::uint8_t>(code);
        length[code] = 1;
    }
    void add(unsigned code, unsigned before, std::uint8_t index) {
        prefix[code] = static_cast<std::uint16_t>(before);
        last[code] = index;
        first[code] = first[before];
        length[code] = static_cast<std::uint16_t>(length[before] + 1);
    }
    // Writes the string of code at out[at...], dropping what lies past the end.
    std::size_t write(unsigned code, std::vector<std::uint8_t>& out, std::size_t at) const {
        const std::size_t count = length[code];
        for (std::size_t i = count; i-- > 0; code = prefix[code])
            if (at + i < out.size()) out[at + i] = last[code];
        return at + count;
    }
};

std::vector<std::uint8_t> decodeLzw(Bytes data, unsigned minCodeSize, std::size_t pixelCount) {
    if (minCodeSize < 2 || minCodeSize > 8) reject(kGif, "bad LZW code size");
    const unsigned clear = 1u << minCodeSize, end = clear + 1;
    LzwTable table;
    for (unsigned i = 0; i < clear; ++i) table.literal(i);
    std::vector<std::uint8_t> out(pixelCount);
    CodeReader codes(data);
    constexpr unsigned kNone = kMaxCodes;  // no code yet since the start or the last clear
    unsigned codeSize = minCodeSize + 1, next = end + 1, previous = kNone;
    for (std::size_t at = 0; at < pixelCount;) {
        const unsigned code = codes.read(codeSize);
        if (code == clear) {
            codeSize = minCodeSize + 1, next = end + 1, previous = kNone;
            continue;
        }
        if (code == end) reject(kGif, "picture data ends early");
        if (code > next || (code == next && previous == kNone)) reject(kGif, "bad LZW code");
        if (previous != kNone && next < kMaxCodes) {
            table.add(next, previous, table.first[code == next ? previous : code]);
            if (++next == (1u << codeSize) && codeSize < kMaxCodeSize) ++codeSize;
        }
        at = table.write(code, out, at);
        previous = code;
    }
    return out;
}

GifScreen readGifScreen(Reader& in) {
    const Bytes signature = in.take(6);
    const std::string_view text(reinterpret_cast<const char*>(signature.data()), signature.size());
    if (text != "GIF87a" && text != "GIF89a") in.fail("not a GIF picture");
    GifScreen screen;
    screen.width = in.u16();
    screen.height = in.u16();
    const std::uint8_t flags = in.u8();
    screen.background = in.u8();
    in.u8();  // pixel aspect ratio
    if (flags & 0x80) screen.palette = readGifPalette(in, flags);
    return screen;
}

// An image descriptor and its data; decodes the pixels only when asked to.
GifFrame readGifFrame(Reader& in, bool decode) {
    GifFrame frame;
    frame.left = in.u16();
    frame.top = in.u16();
    frame.width = in.u16();
    frame.height = in.u16();
    const std::uint8_t flags = in.u8();
    frame.interlaced = flags & 0x40;
    if (flags & 0x80) frame.palette = readGifPalette(in, flags);
    const unsigned minCodeSize = in.u8();
    const std::vector<std::uint8_t> data = readSubBlocks(in);
    if (decode) {
        const std::int64_t pixels = std::int64_t{frame.width} * frame.height;
        if (pixels > kMaxImagePixels) in.fail("picture too large");
        frame.indices = decodeLzw(data, minCodeSize, static_cast<std::size_t>(pixels));
    }
    return frame;
}

// Interlaced frames store rows 0, 8, 16...; then 4, 12...; then 2, 6...; then 1, 3...
int storedRowToRow(int stored, int height, bool interlaced) {
    if (!interlaced) return stored;
    constexpr std::array<std::array<int, 2>, 4> passes{{{0, 8}, {4, 8}, {2, 4}, {1, 2}}};
    for (const auto& [start, step] : passes) {
        const int rows = height > start ? (height - start + step - 1) / step : 0;
        if (stored < rows) return start + stored * step;
        stored -= rows;
    }
    return height;  // not reached for stored < height
}

Image compose(const GifScreen& screen, const GifFrame& frame) {
    Image image = blankImage(screen.width, screen.height, kGif);
    const Rgb background =
        screen.background < screen.palette.size() ? screen.palette[screen.background] : Rgb{};
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) setPixel(image, x, y, background);
    const Palette& palette = frame.palette.empty() ? screen.palette : frame.palette;
    if (palette.empty() && !frame.indices.empty()) reject(kGif, "no colour table");
    for (int stored = 0; stored < frame.height; ++stored) {
        const int y = frame.top + storedRowToRow(stored, frame.height, frame.interlaced);
        for (int column = 0; column < frame.width; ++column) {
            const std::size_t at = static_cast<std::size_t>(stored) * frame.width + column;
            const Rgb colour = lookUp(palette, frame.indices[at], kGif);
            const int x = frame.left + column;
            if (x < image.width && y < image.height) setPixel(image, x, y, colour);
        }
    }
    return image;
}

}  // namespace

Image decodeGif(std::span<const std::uint8_t> bytes) {
    Reader in(bytes, kGif);
    const GifScreen screen = readGifScreen(in);
    std::optional<Image> picture;
    for (;;) {
        switch (in.u8()) {
        case 0x21:  // extension: a label, then data sub-blocks
            in.u8();
            readSubBlocks(in);
            break;
        case 0x2C:  // image: the first one is the picture, later ones are only walked over
            if (picture) {
                readGifFrame(in, false);
            } else {
                picture = compose(screen, readGifFrame(in, true));
            }
            break;
        case 0x3B:  // trailer
            if (!picture) in.fail("no picture");
            return std::move(*picture);
        default:
            in.fail("unknown block");
        }
    }
}

}  // namespace kelmor
