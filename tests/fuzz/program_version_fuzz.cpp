// SPDX-License-Identifier: GPL-3.0-or-later
// A Windows program's version resource. Input: the bytes of a program. The
// reader asks for few pieces, none larger than a version resource may be,
// and reads nothing beyond what it was given (the sanitizers see every byte
// read); the strings it finds are UTF-8.
#include <string>
#include <string_view>

#include "core/program_version.hpp"
#include "tests/fuzz/fuzz_support.hpp"

using namespace kelmor;
using fuzz::expect;

namespace {

// The most pieces a walk can ask for: the headers, the section table, the
// type table in its parts (65535 entries, 512 a time), two more tables, the
// data entry and the resource.
constexpr std::size_t kMostReads = 4 + 1 + 128 + 4 + 2;

bool isUtf8(std::string_view text) {
    for (std::size_t at = 0; at < text.size();) {
        const auto lead = static_cast<unsigned char>(text[at]);
        const std::size_t length = lead < 0x80    ? 1
                                   : lead >= 0xF0 ? 4
                                   : lead >= 0xE0 ? 3
                                   : lead >= 0xC2 ? 2
                                                  : 0;
        if (length == 0 || length > text.size() - at) return false;
        for (std::size_t i = 1; i < length; ++i)
            if ((static_cast<unsigned char>(text[at + i]) & 0xC0) != 0x80) return false;
        at += length;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view program(reinterpret_cast<const char*>(data), size);
    std::size_t reads = 0;
    const auto version = programVersion([&](std::uint64_t offset, std::size_t count) {
        expect(count <= kLargestVersionResource, "no piece larger than a version resource");
        ++reads;
        return offset < program.size() ? std::string(program.substr(offset, count)) : std::string();
    });
    expect(reads <= kMostReads, "few pieces read");
    if (version)
        expect(isUtf8(version->productName) && isUtf8(version->fileDescription),
               "the strings are UTF-8");
    return 0;
}
