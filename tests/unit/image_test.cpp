#include "core/image.hpp"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <utility>

namespace kelmor {
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
          const Colours& palette = {}, std::uint32_t compression = 0, std::uint32_t headerSize = 40) {
    const std::uint32_t masks = compression == 3 && headerSize == 40 ? 12 : 0;
    const std::uint32_t offset = 14 + headerSize + masks + 4 * std::uint32_t(palette.size());
    Bytes b = {'B', 'M'};
    for (std::uint32_t v : {offset + std::uint32_t(rows.size()), 0u, offset, headerSize}) put32(b, v);
    put32(b, width), put32(b, height), put16(b, 1), put16(b, bits), put32(b, compression);
    for (std::uint32_t v : {std::uint32_t(rows.size()), 2835u, 2835u, std::uint32_t(palette.size()), 0u}) put32(b, v);
    b.resize(14 + headerSize + masks);
    if (compression == 3) poke32(b, 54, 0xFF0000), poke32(b, 58, 0xFF00), poke32(b, 62, 0xFF);
    for (std::uint32_t c : palette)  // blue, green, red, unused
        b.insert(b.end(), {std::uint8_t(c), std::uint8_t(c >> 8), std::uint8_t(c >> 16), 0});
    b.insert(b.end(), rows.begin(), rows.end());
    return b;
}

// A GIF89a file with one frame, led by a graphic control and a comment extension.
struct Gif {
    int screenWidth = 0, screenHeight = 0;
    Colours global{};  // none when empty; sizes must be powers of two
    int background = 0;
    int left = 0, top = 0, width = 0, height = 0;
    Colours local{};
    bool interlaced = false;
    Bytes lzw{};  // with the minimum code size below
    unsigned minCodeSize = 2;
};

void putTable(Bytes& b, const Colours& table) {
    for (std::uint32_t c : table) b.insert(b.end(), {std::uint8_t(c >> 16), std::uint8_t(c >> 8), std::uint8_t(c)});
}
unsigned tableFlags(const Colours& table) {
    return table.empty() ? 0 : 0x80 | (std::bit_width(table.size()) - 2);
}

Bytes gif(const Gif& g) {
    Bytes b = {'G', 'I', 'F', '8', '9', 'a'};
    put16(b, g.screenWidth), put16(b, g.screenHeight);
    b.insert(b.end(), {std::uint8_t(tableFlags(g.global)), std::uint8_t(g.background), 0});
    putTable(b, g.global);
    b.insert(b.end(), {0x21, 0xF9, 4, 0, 0, 0, 0, 0, 0x21, 0xFE, 2, 'h', 'i', 0, 0x2C});
    for (int v : {g.left, g.top, g.width, g.height}) put16(b, v);
    b.push_back(std::uint8_t(tableFlags(g.local) | (g.interlaced ? 0x40 : 0)));
    putTable(b, g.local);
    b.push_back(std::uint8_t(g.minCodeSize));
    for (std::size_t at = 0; at < g.lzw.size(); at += 255) {
        const std::size_t n = std::min<std::size_t>(255, g.lzw.size() - at);
        b.push_back(std::uint8_t(n));
        b.insert(b.end(), g.lzw.begin() + at, g.lzw.begin() + at + n);
    }
    b.insert(b.end(), {0, 0x3B});
    return b;
}

const Colours kRgbw = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF};

// A frame that fills the screen, coloured from a global table.
Gif frame(int width, int height, Bytes lzw, Colours global = kRgbw) {
    return {.screenWidth = width, .screenHeight = height, .global = std::move(global),
            .width = width, .height = height, .lzw = std::move(lzw)};
}
Gif with(Gif gif, const std::function<void(Gif&)>& change) {
    change(gif);
    return gif;
}

// Textbook LZW as GIF writers do it: a clear code first; when the table is full,
// either a clear code and a fresh table, or going on with the full table.
Bytes lzw(const Bytes& indices, unsigned minCodeSize = 2, bool restartWhenFull = true) {
    Bytes out;
    std::uint32_t pending = 0;
    unsigned pendingBits = 0, size = minCodeSize + 1, next = 0;
    const unsigned clear = 1u << minCodeSize;
    std::map<std::pair<unsigned, unsigned>, unsigned> table;
    auto put = [&](unsigned code) {
        pending |= code << pendingBits, pendingBits += size;
        for (; pendingBits >= 8; pendingBits -= 8, pending >>= 8) out.push_back(std::uint8_t(pending));
    };
    auto restart = [&] { put(clear), table.clear(), size = minCodeSize + 1, next = clear + 2; };
    restart();
    unsigned string = indices.at(0);
    for (std::size_t i = 1; i < indices.size(); ++i) {
        if (auto found = table.find({string, indices[i]}); found != table.end()) {
            string = found->second;
            continue;
        }
        put(string);
        if (next == 4096 && restartWhenFull) {
            restart();
        } else if (next < 4096) {
            table[{string, indices[i]}] = next++;
            if (next > (1u << size)) ++size;
        }
        string = indices[i];
    }
    put(string);
    if (next == (1u << size) && size < 12) ++size;  // the reader adds an entry for the last string
    put(clear + 1);
    if (pendingBits > 0) out.push_back(std::uint8_t(pending));
    return out;
}

TEST(DecodeBmp, ReadsEveryStoredLayout) {
    const Colours palette = {0x102030, 0xFFFFFF, 0xFF8000};
    const Bytes bgr24 = {0, 0, 255, 0, 255, 0, 255, 0, 0, 0, 0, 0,         // red, green, blue + padding
                         255, 255, 255, 0, 0, 0, 0x56, 0x34, 0x12, 0, 0, 0};  // white, black, 0x123456
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
        {"32-bit, bit fields after the header", bmp(2, 1, 32, bgrx, {}, 3), 2, 1, {0x123456, 0xFF0000}},
        {"32-bit, bit fields in a V4 header", bmp(2, 1, 32, bgrx, {}, 3, 108), 2, 1, {0x123456, 0xFF0000}},
        {"8-bit palette, padded row", bmp(3, 1, 8, {2, 0, 1, 0}, palette), 3, 1, {0xFF8000, 0x102030, 0xFFFFFF}},
        {"4-bit palette", bmp(3, 1, 4, {0x21, 0x00, 0, 0}, palette), 3, 1, {0xFF8000, 0xFFFFFF, 0x102030}},
        {"1-bit palette across a byte", bmp(9, 1, 1, {0xA1, 0x80, 0, 0}, {0x102030, 0xFFFFFF}), 9, 1,
         {0xFFFFFF, 0x102030, 0xFFFFFF, 0x102030, 0x102030, 0x102030, 0x102030, 0xFFFFFF, 0xFFFFFF}},
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

TEST(DecodeGif, DecodesAndComposesTheFirstFrame) {
    const std::uint32_t red = 0xFF0000, green = 0x00FF00, blue = 0x0000FF, white = 0xFFFFFF;
    Colours greys(16);
    for (unsigned i = 0; i < 16; ++i) greys[i] = i * 0x111111;
    Bytes noise(200 * 200);  // enough codes to fill the table and start over
    for (std::uint32_t i = 0, seed = 1; i < noise.size(); ++i) noise[i] = (seed = seed * 1103515245 + 12345) >> 29 & 3;
    Colours noiseColours;
    for (std::uint8_t i : noise) noiseColours.push_back(kRgbw[i]);
    struct Case {
        const char* name;
        Gif gif;
        Colours pixels;
    };
    const Case cases[] = {
        // clear 4, then 0, 1, 2 in 3 bits; end 5 in 4 bits, as the table has reached 8 entries
        {"hand-coded 3x1", frame(3, 1, {0x44, 0x54}), {red, green, blue}},
        {"local table wins", with(frame(2, 1, lzw({1, 0})), [](Gif& g) { g.local = {0x111111, 0x222222}; }),
         {0x222222, 0x111111}},
        {"frame on the background",
         with(frame(1, 1, lzw({1})),
              [](Gif& g) { g.screenWidth = 3, g.screenHeight = 2, g.background = 3, g.left = g.top = 1; }),
         {white, white, white, white, green, white}},
        {"frame past the screen is cut",
         with(frame(2, 3, lzw({2, 1, 0, 0, 3, 3})), [](Gif& g) { g.screenHeight = 2, g.background = 3, g.left = 1; }),
         {white, blue, white, red}},
        {"interlaced rows",  // stored row i holds the index of the row it belongs to
         with(frame(1, 10, lzw({0, 8, 4, 2, 6, 1, 3, 5, 7, 9}, 4), greys),
              [](Gif& g) { g.interlaced = true, g.minCodeSize = 4; }),
         Colours(greys.begin(), greys.begin() + 10)},
        {"one long run", frame(40, 1, lzw(Bytes(40, 3))), Colours(40, white)},
        {"table fills and restarts", frame(200, 200, lzw(noise)), noiseColours},
        {"table fills and stays full", frame(200, 200, lzw(noise, 2, false)), noiseColours},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Bytes file = gif(c.gif);
        const Image image = decodeGif(file);
        EXPECT_EQ(image.width, c.gif.screenWidth);
        EXPECT_EQ(image.height, c.gif.screenHeight);
        EXPECT_EQ(coloursOf(image), c.pixels);
        if (file.size() > 1000) continue;
        for (std::size_t n = 0; n < file.size(); ++n)  // every truncation is refused
            EXPECT_THROW(decodeGif(std::span(file).first(n)), std::invalid_argument) << n;
    }
}

TEST(DecodeGif, RefusesMalformedFiles) {
    const Gif good = frame(2, 1, lzw({0, 1}), {0x000000, 0xFFFFFF});
    Bytes notGif = gif(good), unknownBlock = gif(good), noImage = gif(good);
    notGif[4] = '8';
    unknownBlock[13 + 6] = 0x99;  // where the first extension starts
    noImage[13 + 6] = 0x3B;
    struct Case {
        const char* name;
        Bytes file;
    };
    const Case cases[] = {
        {"wrong signature", notGif},
        {"unknown block", unknownBlock},
        {"trailer before any image", noImage},
        {"no colour table", gif(with(good, [](Gif& g) { g.global.clear(); }))},
        {"index outside the table", gif(with(good, [](Gif& g) { g.lzw = lzw({0, 2}); }))},
        {"code size too small", gif(with(good, [](Gif& g) { g.minCodeSize = 1; }))},
        {"code size too large", gif(with(good, [](Gif& g) { g.minCodeSize = 9; }))},
        {"first code not a literal", gif(with(good, [](Gif& g) { g.lzw = {0x34, 0x01}; }))},  // clear 4, then 6
        {"end before the last pixel", gif(with(good, [](Gif& g) { g.width = 3; }))},
        {"empty screen", gif(with(good, [](Gif& g) { g.screenWidth = 0; }))},
        {"screen too large to hold", gif(with(good, [](Gif& g) { g.screenWidth = g.screenHeight = 65535; }))},
    };
    for (const Case& c : cases) EXPECT_THROW(decodeGif(c.file), std::invalid_argument) << c.name;
}

TEST(KitPictures, DecodeToTheSizesTheWindowsExpect) {
    const std::filesystem::path art = std::filesystem::path(__FILE__).parent_path() / "../../art";
    struct Case {
        const char* file;
        Image (*decode)(std::span<const std::uint8_t>);
        int width, height;
    };
    const Case cases[] = {
        {"kelmor_background.bmp", decodeBmp, 318, 255}, {"kelplix_background.gif", decodeGif, 360, 234},
        {"kelmor_icon.bmp", decodeBmp, 32, 32},         {"kelplix_icon.bmp", decodeBmp, 32, 32},
        {"configuration_icon.bmp", decodeBmp, 32, 32},  {"mapper_icon.bmp", decodeBmp, 64, 64},
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
}  // namespace kelmor
