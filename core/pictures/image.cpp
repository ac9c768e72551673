// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/pictures/image.hpp"

#include <algorithm>
#include <array>
#include <cstdlib>
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

// ---- PNG -----------------------------------------------------------------

constexpr std::string_view kPng = "PNG";
constexpr std::array<std::uint8_t, 8> kPngSignature{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

// The data of a deflate stream (RFC 1951), read a bit at a time, least
// significant bit first.
class BitReader {
public:
    explicit BitReader(Bytes data) : data_(data) {}
    unsigned bits(unsigned count) {
        unsigned value = 0;
        for (unsigned i = 0; i < count; ++i, ++bit_) {
            if (bit_ >= data_.size() * 8) reject(kPng, "compressed data ends early");
            value |= ((data_[bit_ / 8] >> (bit_ % 8)) & 1u) << i;
        }
        return value;
    }
    // Whole bytes, from the next byte boundary on.
    Bytes bytes(std::size_t count) {
        const std::size_t at = (bit_ + 7) / 8;
        if (count > data_.size() - std::min(at, data_.size())) reject(kPng, "compressed data ends early");
        bit_ = (at + count) * 8;
        return data_.subspan(at, count);
    }

private:
    Bytes data_;
    std::size_t bit_ = 0;
};

// The decompressed bytes, never more than the picture needs.
class Inflated {
public:
    explicit Inflated(std::size_t limit) : limit_(limit) { bytes_.reserve(limit); }
    void put(std::uint8_t byte) {
        if (bytes_.size() == limit_) reject(kPng, "more picture data than the picture holds");
        bytes_.push_back(byte);
    }
    // Repeats `length` bytes from `distance` back, overlapping what it writes.
    void repeat(std::size_t distance, std::size_t length) {
        if (distance > bytes_.size()) reject(kPng, "distance before the start");
        for (std::size_t i = 0; i < length; ++i) put(bytes_[bytes_.size() - distance]);
    }
    std::vector<std::uint8_t>& bytes() { return bytes_; }

private:
    std::size_t limit_;
    std::vector<std::uint8_t> bytes_;
};

// A canonical Huffman code: how many codes there are of each length, and
// the symbols in code order.
struct Huffman {
    std::array<std::uint16_t, 16> counts{};
    std::vector<std::uint16_t> symbols;
};

Huffman huffman(std::span<const std::uint8_t> lengths) {
    Huffman code;
    for (const std::uint8_t length : lengths) ++code.counts[length];
    code.counts[0] = 0;
    int unused = 1;  // codes of the current length not yet taken
    for (std::size_t length = 1; length < code.counts.size(); ++length)
        if ((unused = unused * 2 - code.counts[length]) < 0) reject(kPng, "too many Huffman codes");
    std::array<std::uint16_t, 16> next{};
    for (std::size_t length = 1; length + 1 < next.size(); ++length)
        next[length + 1] = static_cast<std::uint16_t>(next[length] + code.counts[length]);
    code.symbols.resize(lengths.size());
    for (std::size_t symbol = 0; symbol < lengths.size(); ++symbol)
        if (lengths[symbol] != 0) code.symbols[next[lengths[symbol]]++] = static_cast<std::uint16_t>(symbol);
    return code;
}

unsigned decodeSymbol(BitReader& in, const Huffman& code) {
    unsigned value = 0, first = 0, index = 0;  // the code read so far, the first code of its length
    for (std::size_t length = 1; length < code.counts.size(); ++length) {
        value |= in.bits(1);
        const unsigned count = code.counts[length];
        if (value - first < count) return code.symbols[index + value - first];
        index += count;
        first = (first + count) << 1;
        value <<= 1;
    }
    reject(kPng, "bad Huffman code");
}

// A length or distance: a base and a number of extra bits read after its code.
struct Span {
    std::uint16_t base;
    std::uint8_t extraBits;
};
constexpr std::array<Span, 29> kLengths{{{3, 0},   {4, 0},   {5, 0},   {6, 0},   {7, 0},  {8, 0},
                                         {9, 0},   {10, 0},  {11, 1},  {13, 1},  {15, 1}, {17, 1},
                                         {19, 2},  {23, 2},  {27, 2},  {31, 2},  {35, 3}, {43, 3},
                                         {51, 3},  {59, 3},  {67, 4},  {83, 4},  {99, 4}, {115, 4},
                                         {131, 5}, {163, 5}, {195, 5}, {227, 5}, {258, 0}}};
constexpr std::array<Span, 30> kDistances{{{1, 0},     {2, 0},     {3, 0},     {4, 0},     {5, 1},
                                           {7, 1},     {9, 2},     {13, 2},    {17, 3},    {25, 3},
                                           {33, 4},    {49, 4},    {65, 5},    {97, 5},    {129, 6},
                                           {193, 6},   {257, 7},   {385, 7},   {513, 8},   {769, 8},
                                           {1025, 9},  {1537, 9},  {2049, 10}, {3073, 10}, {4097, 11},
                                           {6145, 11}, {8193, 12}, {12289, 12}, {16385, 13}, {24577, 13}}};
constexpr unsigned kEndOfBlock = 256;

template <std::size_t N>
unsigned spanValue(BitReader& in, const std::array<Span, N>& spans, unsigned symbol) {
    if (symbol >= spans.size()) reject(kPng, "bad length or distance code");
    return spans[symbol].base + in.bits(spans[symbol].extraBits);
}

void inflateCodes(BitReader& in, const Huffman& literals, const Huffman& distances, Inflated& out) {
    for (unsigned symbol; (symbol = decodeSymbol(in, literals)) != kEndOfBlock;) {
        if (symbol < kEndOfBlock) {
            out.put(static_cast<std::uint8_t>(symbol));
            continue;
        }
        const unsigned length = spanValue(in, kLengths, symbol - kEndOfBlock - 1);
        out.repeat(spanValue(in, kDistances, decodeSymbol(in, distances)), length);
    }
}

struct Codes {
    Huffman literals, distances;
};

Codes fixedCodes() {
    std::array<std::uint8_t, 288 + 30> lengths{};
    std::fill(lengths.begin(), lengths.begin() + 144, 8);
    std::fill(lengths.begin() + 144, lengths.begin() + 256, 9);
    std::fill(lengths.begin() + 256, lengths.begin() + 280, 7);
    std::fill(lengths.begin() + 280, lengths.begin() + 288, 8);
    std::fill(lengths.begin() + 288, lengths.end(), 5);
    return {huffman(std::span(lengths).first(288)), huffman(std::span(lengths).subspan(288))};
}

// The code lengths of a dynamic block, themselves Huffman coded, with runs.
Codes dynamicCodes(BitReader& in) {
    const unsigned literalCount = in.bits(5) + 257, distanceCount = in.bits(5) + 1, lengthCount = in.bits(4) + 4;
    if (literalCount > 286 || distanceCount > 30) reject(kPng, "too many codes");
    constexpr std::array<std::uint8_t, 19> kOrder{16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};
    std::array<std::uint8_t, 19> lengthLengths{};
    for (unsigned i = 0; i < lengthCount; ++i) lengthLengths[kOrder[i]] = static_cast<std::uint8_t>(in.bits(3));
    const Huffman lengthCode = huffman(lengthLengths);
    std::vector<std::uint8_t> lengths;
    while (lengths.size() < literalCount + distanceCount) {
        const unsigned symbol = decodeSymbol(in, lengthCode);
        if (symbol < 16) {
            lengths.push_back(static_cast<std::uint8_t>(symbol));
            continue;
        }
        if (symbol == 16 && lengths.empty()) reject(kPng, "repeat of no code length");
        const std::uint8_t value = symbol == 16 ? lengths.back() : 0;
        const unsigned times = symbol == 16 ? 3 + in.bits(2) : symbol == 17 ? 3 + in.bits(3) : 11 + in.bits(7);
        if (lengths.size() + times > literalCount + distanceCount) reject(kPng, "too many code lengths");
        lengths.insert(lengths.end(), times, value);
    }
    if (lengths[kEndOfBlock] == 0) reject(kPng, "no end of block");
    return {huffman(std::span(lengths).first(literalCount)), huffman(std::span(lengths).subspan(literalCount))};
}

void inflateStored(BitReader& in, Inflated& out) {
    const Bytes header = in.bytes(4);
    const unsigned length = header[0] | header[1] << 8, complement = header[2] | header[3] << 8;
    if (length != (~complement & 0xFFFF)) reject(kPng, "bad stored block");
    for (const std::uint8_t byte : in.bytes(length)) out.put(byte);
}

std::uint32_t adler32(const std::vector<std::uint8_t>& bytes) {
    std::uint32_t low = 1, high = 0;
    for (const std::uint8_t byte : bytes) {
        low = (low + byte) % 65521;
        high = (high + low) % 65521;
    }
    return high << 16 | low;
}

// A zlib stream (RFC 1950) that must decompress to exactly `size` bytes.
std::vector<std::uint8_t> inflateZlib(Bytes stream, std::size_t size) {
    Reader header(stream, kPng);
    const unsigned method = header.u8(), flags = header.u8();
    if ((method & 0x0F) != 8 || method >> 4 > 7 || (method << 8 | flags) % 31 != 0 || (flags & 0x20))
        reject(kPng, "not a zlib stream");
    BitReader in(stream.subspan(2));
    Inflated out(size);
    static const Codes fixed = fixedCodes();
    for (bool last = false; !last;) {
        last = in.bits(1);
        switch (in.bits(2)) {
        case 0: inflateStored(in, out); break;
        case 1: inflateCodes(in, fixed.literals, fixed.distances, out); break;
        case 2: {
            const Codes codes = dynamicCodes(in);
            inflateCodes(in, codes.literals, codes.distances, out);
            break;
        }
        default: reject(kPng, "bad block type");
        }
    }
    if (out.bytes().size() != size) reject(kPng, "picture data ends early");
    const Bytes check = in.bytes(4);
    if (adler32(out.bytes()) != (std::uint32_t{check[0]} << 24 | check[1] << 16 | check[2] << 8 | check[3]))
        reject(kPng, "picture data damaged");
    return std::move(out.bytes());
}

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
            row[i] = static_cast<std::uint8_t>(stored[1 + i] + predict(stored[0], left, up, upLeft));
        }
    }
}

// The header chunk: only 8-bit RGB without interlacing, the kit's own kind.
Image readPngHeader(Reader& in) {
    if (in.u32BigEndian() != 13) in.fail("no header");
    const Bytes type = in.take(4);
    if (std::string_view(reinterpret_cast<const char*>(type.data()), 4) != "IHDR") in.fail("no header");
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
    if (!std::ranges::equal(in.take(kPngSignature.size()), kPngSignature)) in.fail("not a PNG picture");
    Image image = readPngHeader(in);
    const std::vector<std::uint8_t> data = readPngData(in);
    const std::size_t stride = static_cast<std::size_t>(image.width) * 3 + 1;
    unfilter(inflateZlib(data, stride * image.height), image);
    return image;
}

}  // namespace kelmor
