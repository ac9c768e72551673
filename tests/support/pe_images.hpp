// SPDX-License-Identifier: GPL-3.0-or-later
// Windows programs made in memory for the tests that run on every host: a
// minimal PE32 or PE32+ file with a code section and a resource section
// whose tree leads to one version resource, each piece at a known place so
// that a test can break it.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kelmor::testing {

inline void poke16(std::string& bytes, std::size_t at, std::uint32_t value) {
    bytes[at] = static_cast<char>(value & 0xFF);
    bytes[at + 1] = static_cast<char>(value >> 8 & 0xFF);
}

inline void poke32(std::string& bytes, std::size_t at, std::uint32_t value) {
    poke16(bytes, at, value & 0xFFFF);
    poke16(bytes, at + 2, value >> 16);
}

inline void padTo4(std::string& bytes) { bytes.resize((bytes.size() + 3) & ~std::size_t{3}, '\0'); }

// UTF-16LE bytes of a text, with its terminating zero.
inline std::string utf16z(std::u16string_view text) {
    std::string bytes;
    for (char16_t c : text) bytes += {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
    return bytes + std::string(2, '\0');
}

// A block of a version resource: its header, key, value and children, each
// beginning on four bytes.
inline std::string versionBlock(std::u16string_view key, std::string_view value,
                                std::uint16_t valueLength, bool text,
                                const std::vector<std::string>& children = {}) {
    std::string block(6, '\0');
    block += utf16z(key);
    padTo4(block);
    block += value;
    for (const std::string& child : children) {
        padTo4(block);
        block += child;
    }
    poke16(block, 0, static_cast<std::uint32_t>(block.size()));
    poke16(block, 2, valueLength);
    poke16(block, 4, text ? 1 : 0);
    return block;
}

// A string of a table: its value as the bytes that lie there, UTF-16LE, and
// its length as recorded (by default in characters, as resource compilers
// count it).
struct VersionString {
    std::u16string key;
    std::string value;
    std::optional<std::uint16_t> valueLength = std::nullopt;
};

// The strings a program's version resource holds, as emulators write them.
inline std::vector<VersionString> programStrings(std::u16string_view product,
                                                 std::u16string_view description) {
    return {{u"CompanyName", utf16z(u"Somebody")},
            {u"FileDescription", utf16z(description)},
            {u"FileVersion", utf16z(u"1.2")},
            {u"ProductName", utf16z(product)}};
}

// A version resource with that file version: VarFileInfo, then (for any
// strings) a StringFileInfo whose one table holds them.
inline std::string versionResource(const std::array<unsigned, 4>& fileVersion,
                                   const std::vector<VersionString>& strings) {
    std::string fixed(52, '\0');
    poke32(fixed, 0, 0xFEEF04BD);
    poke32(fixed, 4, 0x10000);
    poke32(fixed, 8, fileVersion[0] << 16 | fileVersion[1]);
    poke32(fixed, 12, fileVersion[2] << 16 | fileVersion[3]);
    std::vector<std::string> children{versionBlock(
        u"VarFileInfo", {}, 0, true, {versionBlock(u"Translation", "\x09\x04\xB0\x04", 4, false)})};
    if (!strings.empty()) {
        std::vector<std::string> table;
        for (const VersionString& s : strings)
            table.push_back(versionBlock(
                s.key, s.value,
                s.valueLength.value_or(static_cast<std::uint16_t>(s.value.size() / 2)), true));
        children.push_back(versionBlock(u"StringFileInfo", {}, 0, true,
                                        {versionBlock(u"040904B0", {}, 0, true, table)}));
    }
    return versionBlock(u"VS_VERSION_INFO", fixed, 52, false, children);
}

// Where the pieces of a PE image lie: the headers in the file, the tables of
// the resource directory from its beginning, which lies at kResourcesAt in
// the file and at kResourcesAddress in memory, behind the code section.
inline constexpr std::size_t kPeHeaderAt = 0x80;
inline constexpr std::uint32_t kCodeAddress = 0x1000;
inline constexpr std::uint32_t kResourcesAddress = 0x1000000;
inline constexpr std::size_t kRootTable = 0;         // icons (3), then versions (16)
inline constexpr std::size_t kNameTable = 0x20;      // name 1
inline constexpr std::size_t kLanguageTable = 0x38;  // language 0x409
inline constexpr std::size_t kDataEntry = 0x50;
inline constexpr std::size_t kVersionAt = 0x60;

struct PeImage {
    std::string bytes;
    std::size_t resourcesAt;  // in the file
    std::size_t
        resourceDirectoryAt;  // its entry (address, size), 20 bytes behind the count of entries
    std::size_t sectionTableAt;
};

// One table of the resource directory with one numbered entry.
inline void resourceTable(std::string& resources, std::size_t at, std::uint32_t id,
                          std::uint32_t leadsTo) {
    poke16(resources, at + 14, 1);
    poke32(resources, at + 16, id);
    poke32(resources, at + 20, leadsTo);
}

inline void sectionHeader(std::string& bytes, std::size_t at, std::string_view name,
                          std::uint32_t address, std::uint32_t size, std::uint32_t fileAt) {
    bytes.replace(at, name.size(), name);
    poke32(bytes, at + 8, size);
    poke32(bytes, at + 12, address);
    poke32(bytes, at + 16, size);
    poke32(bytes, at + 20, static_cast<std::uint32_t>(fileAt));
}

// A PE32 (or PE32+) program whose resources are `version`, behind
// `codeBytes` bytes of code.
inline PeImage peImage(const std::string& version, bool plus, std::size_t codeBytes = 0x200) {
    std::string resources(kVersionAt, '\0');
    poke16(resources, kRootTable + 14, 2);
    poke32(resources, kRootTable + 16, 3);
    poke32(resources, kRootTable + 20, 0x80000000 | kNameTable);
    poke32(resources, kRootTable + 24, 16);
    poke32(resources, kRootTable + 28, 0x80000000 | kNameTable);
    resourceTable(resources, kNameTable, 1, 0x80000000 | kLanguageTable);
    resourceTable(resources, kLanguageTable, 0x409, kDataEntry);
    poke32(resources, kDataEntry, kResourcesAddress + kVersionAt);
    poke32(resources, kDataEntry + 4, static_cast<std::uint32_t>(version.size()));
    resources += version;

    const std::size_t resourcesAt = 0x200 + codeBytes;
    PeImage pe{std::string(resourcesAt, '\0') + resources, resourcesAt, 0, 0};
    std::string& bytes = pe.bytes;
    bytes.replace(0, 2, "MZ");
    poke32(bytes, 0x3C, kPeHeaderAt);
    bytes.replace(kPeHeaderAt, 4, std::string_view("PE\0\0", 4));
    const std::size_t optionalSize = plus ? 240 : 224;
    poke16(bytes, kPeHeaderAt + 4, plus ? 0x8664 : 0x14C);
    poke16(bytes, kPeHeaderAt + 6, 2);
    poke16(bytes, kPeHeaderAt + 20, static_cast<std::uint32_t>(optionalSize));
    const std::size_t optional = kPeHeaderAt + 24;
    poke16(bytes, optional, plus ? 0x20B : 0x10B);
    poke32(bytes, optional + (plus ? 108 : 92), 16);
    pe.resourceDirectoryAt = optional + (plus ? 112 : 96) + 2 * 8;
    poke32(bytes, pe.resourceDirectoryAt, kResourcesAddress);
    poke32(bytes, pe.resourceDirectoryAt + 4, static_cast<std::uint32_t>(resources.size()));
    pe.sectionTableAt = optional + optionalSize;
    sectionHeader(bytes, pe.sectionTableAt, ".text", kCodeAddress,
                  static_cast<std::uint32_t>(codeBytes), 0x200);
    sectionHeader(bytes, pe.sectionTableAt + 40, ".rsrc", kResourcesAddress,
                  static_cast<std::uint32_t>(resources.size()),
                  static_cast<std::uint32_t>(resourcesAt));
    return pe;
}

}  // namespace kelmor::testing
