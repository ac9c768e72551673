// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/pictures/inflate.hpp"

#include <algorithm>
#include <array>
#include <span>
#include <string_view>
#include <utility>

namespace kelmor::pictures {
namespace {

// The only format whose data is deflated.
constexpr std::string_view kPng = "PNG";

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
        if (count > data_.size() - std::min(at, data_.size()))
            reject(kPng, "compressed data ends early");
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
        if (lengths[symbol] != 0)
            code.symbols[next[lengths[symbol]]++] = static_cast<std::uint16_t>(symbol);
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
constexpr std::array<Span, 29> kLengths{
    {{3, 0},  {4, 0},  {5, 0},  {6, 0},   {7, 0},   {8, 0},   {9, 0},   {10, 0},  {11, 1}, {13, 1},
     {15, 1}, {17, 1}, {19, 2}, {23, 2},  {27, 2},  {31, 2},  {35, 3},  {43, 3},  {51, 3}, {59, 3},
     {67, 4}, {83, 4}, {99, 4}, {115, 4}, {131, 5}, {163, 5}, {195, 5}, {227, 5}, {258, 0}}};
constexpr std::array<Span, 30> kDistances{
    {{1, 0},     {2, 0},     {3, 0},     {4, 0},      {5, 1},      {7, 1},
     {9, 2},     {13, 2},    {17, 3},    {25, 3},     {33, 4},     {49, 4},
     {65, 5},    {97, 5},    {129, 6},   {193, 6},    {257, 7},    {385, 7},
     {513, 8},   {769, 8},   {1025, 9},  {1537, 9},   {2049, 10},  {3073, 10},
     {4097, 11}, {6145, 11}, {8193, 12}, {12289, 12}, {16385, 13}, {24577, 13}}};
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
    const unsigned literalCount = in.bits(5) + 257, distanceCount = in.bits(5) + 1,
                   lengthCount = in.bits(4) + 4;
    if (literalCount > 286 || distanceCount > 30) reject(kPng, "too many codes");
    constexpr std::array<std::uint8_t, 19> kOrder{16, 17, 18, 0, 8,  7, 9,  6, 10, 5,
                                                  11, 4,  12, 3, 13, 2, 14, 1, 15};
    std::array<std::uint8_t, 19> lengthLengths{};
    for (unsigned i = 0; i < lengthCount; ++i)
        lengthLengths[kOrder[i]] = static_cast<std::uint8_t>(in.bits(3));
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
        const unsigned times = symbol == 16   ? 3 + in.bits(2)
                               : symbol == 17 ? 3 + in.bits(3)
                                              : 11 + in.bits(7);
        if (lengths.size() + times > literalCount + distanceCount)
            reject(kPng, "too many code lengths");
        lengths.insert(lengths.end(), times, value);
    }
    if (lengths[kEndOfBlock] == 0) reject(kPng, "no end of block");
    return {huffman(std::span(lengths).first(literalCount)),
            huffman(std::span(lengths).subspan(literalCount))};
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

}  // namespace

std::vector<std::uint8_t> inflateZlib(Bytes stream, std::size_t size) {
    Reader header(stream, kPng);
    const unsigned method = header.u8(), flags = header.u8();
    if ((method & 0x0F) != 8 || method >> 4 > 7 || (method << 8 | flags) % 31 != 0 ||
        (flags & 0x20))
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
    if (adler32(out.bytes()) !=
        (std::uint32_t{check[0]} << 24 | check[1] << 16 | check[2] << 8 | check[3]))
        reject(kPng, "picture data damaged");
    return std::move(out.bytes());
}

}  // namespace kelmor::pictures
