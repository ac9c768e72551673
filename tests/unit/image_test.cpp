// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/pictures/image.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <set>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>

namespace kelmor::pictures {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Colours = std::vector<std::uint32_t>;  // 0xRRGGBB, top row first

void put16(Bytes& b, unsigned v) { b.insert(b.end(), {std::uint8_t(v), std::uint8_t(v >> 8)}); }
void put32(Bytes& b, std::uint32_t v) { put16(b, v & 0xFFFF), put16(b, v >> 16); }
void poke32(Bytes& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b.at(at + i) = std::uint8_t(v >> 8 * i);
}

Colours coloursOf(const Image& image) {
    Colours colours;
    for (std::size_t i = 0; i + 2 < image.rgb.size(); i += 3)
        colours.push_back(image.rgb[i] << 16 | image.rgb[i + 1] << 8 | image.rgb[i + 2]);
    return colours;
}

// A bitmap file around pixel rows given as stored (order and padding included).
Bytes bmp(std::int32_t width, std::int32_t height, unsigned bits, const Bytes& rows,
          const Colours& palette = {}, std::uint32_t compression = 0,
          std::uint32_t headerSize = 40) {
    const std::uint32_t masks = compression == 3 && headerSize == 40 ? 12 : 0;
    const std::uint32_t offset = 14 + headerSize + masks + 4 * std::uint32_t(palette.size());
    Bytes b = {'B', 'M'};
    for (std::uint32_t v : {offset + std::uint32_t(rows.size()), 0u, offset, headerSize})
        put32(b, v);
    put32(b, width), put32(b, height), put16(b, 1), put16(b, bits), put32(b, compression);
    for (std::uint32_t v :
         {std::uint32_t(rows.size()), 2835u, 2835u, std::uint32_t(palette.size()), 0u})
        put32(b, v);
    b.resize(14 + headerSize + masks);
    if (compression == 3) poke32(b, 54, 0xFF0000), poke32(b, 58, 0xFF00), poke32(b, 62, 0xFF);
    for (std::uint32_t c : palette)  // blue, green, red, unused
        b.insert(b.end(), {std::uint8_t(c), std::uint8_t(c >> 8), std::uint8_t(c >> 16), 0});
    b.insert(b.end(), rows.begin(), rows.end());
    return b;
}

TEST(DecodeBmp, ReadsEveryStoredLayout) {
    const Colours palette = {0x102030, 0xFFFFFF, 0xFF8000};
    const Bytes bgr24 = {
        0,   0,   255, 0, 255, 0, 255,  0,    0,    0, 0, 0,   // red, green, blue + padding
        255, 255, 255, 0, 0,   0, 0x56, 0x34, 0x12, 0, 0, 0};  // white, black, 0x123456
    const Colours bottomUp = {0xFFFFFF, 0x000000, 0x123456, 0xFF0000, 0x00FF00, 0x0000FF};
    const Colours topDown = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF, 0x000000, 0x123456};
    const Bytes bgrx = {0x56, 0x34, 0x12, 0xFF, 0, 0, 255, 0};
    struct Case {
        const char* name;
        Bytes file;
        int width, height;
        Colours pixels;
    };
    const Case cases[] = {
        {"24-bit bottom-up, padded rows", bmp(3, 2, 24, bgr24), 3, 2, bottomUp},
        {"24-bit top-down", bmp(3, -2, 24, bgr24), 3, 2, topDown},
        {"24-bit, V5 header", bmp(3, 2, 24, bgr24, {}, 0, 124), 3, 2, bottomUp},
        {"32-bit", bmp(2, 1, 32, bgrx), 2, 1, {0x123456, 0xFF0000}},
        {"32-bit, bit fields after the header",
         bmp(2, 1, 32, bgrx, {}, 3),
         2,
         1,
         {0x123456, 0xFF0000}},
        {"32-bit, bit fields in a V4 header",
         bmp(2, 1, 32, bgrx, {}, 3, 108),
         2,
         1,
         {0x123456, 0xFF0000}},
        {"8-bit palette, padded row",
         bmp(3, 1, 8, {2, 0, 1, 0}, palette),
         3,
         1,
         {0xFF8000, 0x102030, 0xFFFFFF}},
        {"4-bit palette",
         bmp(3, 1, 4, {0x21, 0x00, 0, 0}, palette),
         3,
         1,
         {0xFF8000, 0xFFFFFF, 0x102030}},
        {"1-bit palette across a byte",
         bmp(9, 1, 1, {0xA1, 0x80, 0, 0}, {0x102030, 0xFFFFFF}),
         9,
         1,
         {0xFFFFFF, 0x102030, 0xFFFFFF, 0x102030, 0x102030, 0x102030, 0x102030, 0xFFFFFF,
          0xFFFFFF}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Image image = decodeBmp(c.file);
        EXPECT_EQ(image.width, c.width);
        EXPECT_EQ(image.height, c.height);
        EXPECT_EQ(coloursOf(image), c.pixels);
        for (std::size_t n = 0; n < c.file.size(); ++n)  // every truncation is refused
            EXPECT_THROW(decodeBmp(std::span(c.file).first(n)), std::invalid_argument) << n;
    }
}

TEST(DecodeBmp, RefusesMalformedFiles) {
    const Bytes row24 = {1, 2, 3, 0};
    Bytes foreignMasks = bmp(1, 1, 32, {1, 2, 3, 4}, {}, 3);
    poke32(foreignMasks, 54, 0xFF000000);
    Bytes notBitmap = bmp(1, 1, 24, row24);
    notBitmap[1] = 'A';
    struct Case {
        const char* name;
        Bytes file;
    };
    const Case cases[] = {
        {"wrong magic", notBitmap},
        {"core header", bmp(1, 1, 24, row24, {}, 0, 12)},
        {"run-length compressed", bmp(1, 1, 8, {0, 0, 0, 0}, {0}, 1)},
        {"16 bits per pixel", bmp(1, 1, 16, row24)},
        {"bit fields with 24 bits", bmp(1, 1, 24, row24, {}, 3)},
        {"foreign colour masks", foreignMasks},
        {"zero width", bmp(0, 1, 24, row24)},
        {"zero height", bmp(1, 0, 24, row24)},
        {"negative width", bmp(-1, 1, 24, row24)},
        {"too large to hold", bmp(100000, 100000, 24, row24)},
        {"lowest height", bmp(1, INT32_MIN, 24, row24)},
        {"index outside the palette", bmp(1, 1, 8, {2, 0, 0, 0}, {0, 0})},
        {"palette larger than the depth", bmp(1, 1, 1, {0, 0, 0, 0}, {0, 0, 0})},
    };
    for (const Case& c : cases) EXPECT_THROW(decodeBmp(c.file), std::invalid_argument) << c.name;
}

void put32BigEndian(Bytes& b, std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) b.push_back(std::uint8_t(v >> shift));
}
Bytes hex(std::string_view text) {
    Bytes b;
    for (std::size_t i = 0; i + 1 < text.size(); i += 2)
        b.push_back(std::uint8_t(std::stoi(std::string(text.substr(i, 2)), nullptr, 16)));
    return b;
}

// A zlib stream after `header` of stored blocks of up to 7 bytes each.
Bytes zlibStored(const Bytes& raw, Bytes header = {0x78, 0x01}) {
    Bytes b = std::move(header);
    for (std::size_t at = 0; at == 0 || at < raw.size(); at += 7) {
        const std::size_t n = std::min<std::size_t>(7, raw.size() - at);
        b.push_back(at + n >= raw.size());  // the last block
        put16(b, unsigned(n)), put16(b, ~unsigned(n) & 0xFFFF);
        b.insert(b.end(), raw.begin() + at, raw.begin() + at + n);
    }
    std::uint32_t low = 1, high = 0;
    for (std::uint8_t byte : raw) low = (low + byte) % 65521, high = (high + low) % 65521;
    put32BigEndian(b, high << 16 | low);
    return b;
}

struct Png {
    std::uint32_t width = 0, height = 0;
    Bytes zlib{};
    Bytes kind{8, 2, 0, 0, 0};  // depth, colour type, compression, filter, interlace
};

void putChunk(Bytes& b, std::string_view type, const Bytes& data) {
    put32BigEndian(b, std::uint32_t(data.size()));
    b.insert(b.end(), type.begin(), type.end());
    b.insert(b.end(), data.begin(), data.end());
    put32BigEndian(b, 0);  // CRC
}

// Header, a text and a palette chunk, the zlib stream split into two IDAT chunks, end.
Bytes png(const Png& p) {
    Bytes b = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'}, header;
    put32BigEndian(header, p.width), put32BigEndian(header, p.height);
    header.insert(header.end(), p.kind.begin(), p.kind.end());
    putChunk(b, "IHDR", header);
    putChunk(b, "tEXt", {'h', 'i'});
    putChunk(b, "PLTE", {1, 2, 3});
    const auto half = p.zlib.begin() + std::ptrdiff_t(p.zlib.size() / 2);
    putChunk(b, "IDAT", Bytes(p.zlib.begin(), half));
    putChunk(b, "IDAT", Bytes(half, p.zlib.end()));
    putChunk(b, "IEND", {});
    return b;
}

TEST(DecodePng, UndoesEveryRowFilterAndReadsEveryKindOfBlock) {
    // 3 pixels a row: none, sub, up, average, Paeth (each of its three choices and both ties)
    const Bytes filtered = {0,   10, 20,  30,  40,  50,  60,  70,  80,  90,  1,  1,   2,
                            3,   4,  5,   6,   7,   8,   9,   2,   1,   2,   3,  4,   5,
                            6,   7,  8,   9,   3,   192, 75,  44,  135, 175, 70, 108, 13,
                            221, 4,  177, 224, 229, 139, 171, 182, 1,   128, 80};
    const Colours unfiltered = {0x0A141E, 0x28323C, 0x46505A, 0x010203, 0x050709,
                                0x0C0F12, 0x020406, 0x090C0F, 0x13171B, 0xC14D2F,
                                0xECDB65, 0xEB861D, 0x722D14, 0x4C861B, 0x4D066B};
    Colours noise;  // 8 x 4 pixels, each sample 0 or 85
    for (std::uint32_t i = 0, seed = 1, rgb = 0; i < 96; ++i) {
        rgb = rgb << 8 | ((seed = seed * 1103515245 + 12345) >> 29 & 1) * 85;
        if (i % 3 == 2) noise.push_back(rgb & 0xFFFFFF);
    }
    struct Case {
        const char* name;
        Png png;
        Colours pixels;
    };
    const Case cases[] = {
        {"stored blocks", {3, 5, zlibStored(filtered)}, unfiltered},
        {"fixed codes, a match overlapping itself",
         {4, 2, hex("78da63105432862306640e00287a0331")},
         Colours(8, 0x112233)},
        {"dynamic codes",
         {8, 4,
          hex("78da4d8c810d000004c3fa64ff7f050b0912ba2d0076cfc4ae511a73d9e5b3939b93bf4fc07f122a8d01"
              "1244")},
         noise},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Bytes file = png(c.png);
        const Image image = decodePng(file);
        EXPECT_EQ(image.width, int(c.png.width));
        EXPECT_EQ(image.height, int(c.png.height));
        EXPECT_EQ(coloursOf(image), c.pixels);
        for (std::size_t n = 0; n < file.size(); ++n)  // every truncation is refused
            EXPECT_THROW(decodePng(std::span(file).first(n)), std::invalid_argument) << n;
    }
}

TEST(DecodePng, RefusesMalformedFiles) {
    const Bytes row = {0, 1, 2, 3};
    const Png good{1, 1, zlibStored(row)};
    const auto with = [&](const std::function<void(Png&)>& change) {
        Png p = good;
        change(p);
        return png(p);
    };
    Bytes notPng = png(good), criticalChunk = png(good), damaged = good.zlib,
          badStoredLength = good.zlib;
    notPng[1] = 'J';
    criticalChunk[8 + 25 + 4] = 'T';  // "tEXt", after the signature and the header, is "TEXt"
    damaged.back() ^= 1;
    badStoredLength[5] ^= 1;  // its complement
    struct Case {
        const char* name;
        Bytes file;
    };
    const Case cases[] = {
        {"wrong signature", notPng},
        {"16 bits a sample", with([](Png& p) { p.kind[0] = 16; })},
        {"alpha", with([](Png& p) { p.kind[1] = 6; })},
        {"palette", with([](Png& p) { p.kind[1] = 3; })},
        {"interlaced", with([](Png& p) { p.kind[4] = 1; })},
        {"unknown critical chunk", criticalChunk},
        {"zero width", with([](Png& p) { p.width = 0; })},
        {"too large to hold", with([](Png& p) { p.width = p.height = 100000; })},
        {"not deflate", with([&](Png& p) {
             p.zlib = zlibStored(row, {0x77, 0x09});
         })},
        {"zlib header check", with([&](Png& p) {
             p.zlib = zlibStored(row, {0x78, 0x02});
         })},
        {"preset dictionary", with([&](Png& p) {
             p.zlib = zlibStored(row, {0x78, 0x20});
         })},
        {"damaged data", with([&](Png& p) { p.zlib = damaged; })},
        {"stored length without its complement", with([&](Png& p) { p.zlib = badStoredLength; })},
        {"block type 3", with([](Png& p) {
             p.zlib = {0x78, 0x01, 0x07};
         })},
        {"distance before the start", with([](Png& p) { p.zlib = hex("78da03020000000001"); })},
        {"unknown row filter", with([](Png& p) {
             p.zlib = zlibStored({5, 1, 2, 3});
         })},
        {"a row missing", with([](Png& p) { p.height = 2; })},
        {"a byte too many", with([](Png& p) {
             p.zlib = zlibStored({0, 1, 2, 3, 4});
         })},
    };
    for (const Case& c : cases) EXPECT_THROW(decodePng(c.file), std::invalid_argument) << c.name;
}

TEST(KitPictures, DecodeToTheSizesTheWindowsExpect) {
    const std::filesystem::path art = std::filesystem::path(__FILE__).parent_path() / "../../art";
    struct Case {
        const char* file;
        Image (*decode)(std::span<const std::uint8_t>);
        int width, height;
    };
    const Case cases[] = {
        {"kelmor_background.png", decodePng, 318, 255},
        {"kelplix_background.png", decodePng, 360, 234},
        {"kelmor_icon.bmp", decodeBmp, 32, 32},
        {"kelplix_icon.bmp", decodeBmp, 32, 32},
        {"configuration_icon.bmp", decodeBmp, 32, 32},
        {"mapper_icon.bmp", decodeBmp, 64, 64},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        std::ifstream in(art / c.file, std::ios::binary);
        ASSERT_TRUE(in) << "missing";
        const Bytes bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        const Image image = c.decode(bytes);
        EXPECT_EQ(image.width, c.width);
        EXPECT_EQ(image.height, c.height);
        const Colours colours = coloursOf(image);
        EXPECT_GT(std::set(colours.begin(), colours.end()).size(), 4u) << "a picture, not a blank";
    }
}

}  // namespace
}  // namespace kelmor::pictures
