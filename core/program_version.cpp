// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/program_version.hpp"

#include <algorithm>
#include <string_view>
#include <system_error>
#include <vector>

#include "core/ascii_text.hpp"

namespace kelmor {
namespace {

// The DOS header: "MZ", and where the PE header begins.
constexpr std::size_t kDosHeaderBytes = 0x40;
constexpr std::size_t kPeHeaderPointerAt = 0x3C;

// The PE signature and the COFF header behind it.
constexpr std::string_view kPeSignature("PE\0\0", 4);
constexpr std::size_t kCoffHeaderBytes = 20;
constexpr std::size_t kSectionCountAt = 2;
constexpr std::size_t kOptionalHeaderSizeAt = 16;

// The optional header of each kind: where its count of data directories
// and the directories lie. The resources are the third directory.
struct OptionalHeaderKind {
    std::uint16_t magic;
    std::size_t directoryCountAt;
    std::size_t directoriesAt;
};
constexpr OptionalHeaderKind kOptionalHeaders[] = {{0x10B, 92, 96}, {0x20B, 108, 112}};
constexpr std::uint32_t kResourceDirectory = 2;
constexpr std::size_t kDirectoryBytes = 8;
constexpr std::size_t kOptionalHeaderBytesRead = 112 + (kResourceDirectory + 1) * kDirectoryBytes;

// A section's header: where it lies in memory and in the file.
constexpr std::size_t kSectionHeaderBytes = 40;
constexpr std::size_t kSectionAddressAt = 12;
constexpr std::size_t kSectionRawSizeAt = 16;
constexpr std::size_t kSectionRawOffsetAt = 20;
// Far more than any program has; a header that claims more is no program's.
constexpr std::size_t kMostSections = 1024;

// A table of the resource directory: its header, then the entries named by
// text, then those named by number, each a name and where it leads.
constexpr std::size_t kTableHeaderBytes = 16;
constexpr std::size_t kNamedCountAt = 12;
constexpr std::size_t kNumberedCountAt = 14;
constexpr std::size_t kEntryBytes = 8;
constexpr std::size_t kEntriesPerRead = 512;
constexpr std::uint32_t kLeadsToTable = 0x80000000;
constexpr std::uint32_t kVersionType = 16;  // RT_VERSION
constexpr std::size_t kDataEntryBytes = 16;

// The version resource: blocks of a length, a value's length, a type, a
// key (UTF-16, zero-terminated), the value and the child blocks, each
// beginning on four bytes. The root's value is the fixed file information.
constexpr std::size_t kBlockHeaderBytes = 6;
constexpr std::uint16_t kTextValue = 1;
constexpr std::uint32_t kFixedInfoSignature = 0xFEEF04BD;
constexpr std::size_t kFixedInfoBytes = 52;
constexpr std::size_t kFileVersionAt = 8;

// What the walk throws where the bytes are not what they claim to be.
struct Malformed {};

void need(std::string_view bytes, std::uint64_t at, std::uint64_t count) {
    if (at > bytes.size() || count > bytes.size() - at) throw Malformed{};
}

std::uint16_t u16(std::string_view bytes, std::uint64_t at) {
    need(bytes, at, 2);
    return static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[at]) |
                                      static_cast<unsigned char>(bytes[at + 1]) << 8);
}

std::uint32_t u32(std::string_view bytes, std::uint64_t at) {
    return u16(bytes, at) | std::uint32_t{u16(bytes, at + 2)} << 16;
}

std::size_t align4(std::size_t at) { return (at + 3) & ~std::size_t{3}; }

// Exactly `count` bytes from `offset` on; malformed where the file ends before.
std::string readExactly(const ProgramBytes& read, std::uint64_t offset, std::size_t count) {
    std::string bytes = read(offset, count);
    if (bytes.size() < count) throw Malformed{};
    bytes.resize(count);
    return bytes;
}

struct Section {
    std::uint32_t address;
    std::uint32_t rawSize;
    std::uint32_t rawOffset;
};

// Where `count` bytes at a relative virtual address lie in the file: within
// the data of one section.
std::uint64_t fileOffset(const std::vector<Section>& sections, std::uint64_t address,
                         std::uint64_t count) {
    for (const Section& section : sections) {
        if (address < section.address) continue;
        const std::uint64_t into = address - section.address;
        if (into <= section.rawSize && count <= section.rawSize - into)
            return std::uint64_t{section.rawOffset} + into;
    }
    throw Malformed{};
}

// The relative virtual address of the resource directory.
std::uint32_t resourceAddress(const ProgramBytes& read, std::uint64_t at, std::size_t size) {
    const std::string header = readExactly(read, at, std::min(size, kOptionalHeaderBytesRead));
    const std::uint16_t magic = u16(header, 0);
    const auto* kind = std::find_if(std::begin(kOptionalHeaders), std::end(kOptionalHeaders),
                                    [&](const OptionalHeaderKind& k) { return k.magic == magic; });
    if (kind == std::end(kOptionalHeaders) ||
        u32(header, kind->directoryCountAt) <= kResourceDirectory)
        throw Malformed{};
    const std::size_t directory = kind->directoriesAt + kResourceDirectory * kDirectoryBytes;
    const std::uint32_t address = u32(header, directory);
    if (address == 0 || u32(header, directory + 4) == 0) throw Malformed{};
    return address;
}

std::vector<Section> readSections(const ProgramBytes& read, std::uint64_t at, std::size_t count) {
    if (count > kMostSections) throw Malformed{};
    const std::string table = readExactly(read, at, count * kSectionHeaderBytes);
    std::vector<Section> sections;
    for (std::size_t header = 0; header < table.size(); header += kSectionHeaderBytes)
        sections.push_back({u32(table, header + kSectionAddressAt),
                            u32(table, header + kSectionRawSizeAt),
                            u32(table, header + kSectionRawOffsetAt)});
    return sections;
}

// The resource directory, read table by table through the section table.
class ResourceTree {
public:
    explicit ResourceTree(const ProgramBytes& read) : read_(read) {
        const std::string dos = readExactly(read, 0, kDosHeaderBytes);
        if (dos.compare(0, 2, "MZ") != 0) throw Malformed{};
        const std::uint64_t peAt = u32(dos, kPeHeaderPointerAt);
        const std::string pe = readExactly(read, peAt, kPeSignature.size() + kCoffHeaderBytes);
        if (pe.compare(0, kPeSignature.size(), kPeSignature) != 0) throw Malformed{};
        const std::string_view coff = std::string_view(pe).substr(kPeSignature.size());
        const std::uint64_t optionalAt = peAt + pe.size();
        const std::size_t optionalSize = u16(coff, kOptionalHeaderSizeAt);
        root_ = resourceAddress(read, optionalAt, optionalSize);
        sections_ = readSections(read, optionalAt + optionalSize, u16(coff, kSectionCountAt));
    }

    // Where the entry of the table at `table` whose number is `id` leads.
    std::uint32_t numberedEntry(std::uint32_t table, std::uint32_t id) const {
        const std::string header = bytesAt(table, kTableHeaderBytes);
        const std::size_t count = u16(header, kNumberedCountAt);
        const std::uint64_t first = std::uint64_t{table} + kTableHeaderBytes +
                                    std::uint64_t{u16(header, kNamedCountAt)} * kEntryBytes;
        for (std::size_t done = 0; done < count;) {
            const std::size_t part = std::min(kEntriesPerRead, count - done);
            const std::string entries = bytesAt(first + done * kEntryBytes, part * kEntryBytes);
            for (std::size_t entry = 0; entry < entries.size(); entry += kEntryBytes)
                if (u32(entries, entry) == id) return u32(entries, entry + 4);
            done += part;
        }
        throw Malformed{};
    }

    // Where the first entry of the table at `table` leads.
    std::uint32_t firstEntry(std::uint32_t table) const {
        const std::string header = bytesAt(table, kTableHeaderBytes);
        if (u16(header, kNamedCountAt) == 0 && u16(header, kNumberedCountAt) == 0)
            throw Malformed{};
        return u32(bytesAt(std::uint64_t{table} + kTableHeaderBytes, kEntryBytes), 4);
    }

    // The bytes of the resource that the data entry at `entry` describes.
    std::string resource(std::uint32_t entry) const {
        const std::string data = bytesAt(entry, kDataEntryBytes);
        const std::uint32_t size = u32(data, 4);
        if (size > kLargestVersionResource) throw Malformed{};
        return readExactly(read_, fileOffset(sections_, u32(data, 0), size), size);
    }

private:
    // Bytes at an offset from the directory's beginning.
    std::string bytesAt(std::uint64_t offset, std::size_t count) const {
        return readExactly(read_, fileOffset(sections_, root_ + offset, count), count);
    }

    const ProgramBytes& read_;
    std::uint32_t root_ = 0;
    std::vector<Section> sections_;
};

std::uint32_t tableOf(std::uint32_t leadsTo) {
    if (!(leadsTo & kLeadsToTable)) throw Malformed{};
    return leadsTo & ~kLeadsToTable;
}

std::uint32_t dataEntryOf(std::uint32_t leadsTo) {
    if (leadsTo & kLeadsToTable) throw Malformed{};
    return leadsTo;
}

// The version resource: type 16, its first name, that name's first language.
std::string versionResource(const ProgramBytes& read) {
    const ResourceTree tree(read);
    const std::uint32_t names = tableOf(tree.numberedEntry(0, kVersionType));
    const std::uint32_t languages = tableOf(tree.firstEntry(names));
    return tree.resource(dataEntryOf(tree.firstEntry(languages)));
}

void appendUtf8(std::string& text, char32_t c) {
    if (c < 0x80) {
        text += static_cast<char>(c);
    } else if (c < 0x800) {
        text += static_cast<char>(0xC0 | c >> 6);
        text += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        text += static_cast<char>(0xE0 | c >> 12);
        text += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        text += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        text += static_cast<char>(0xF0 | c >> 18);
        text += static_cast<char>(0x80 | (c >> 12 & 0x3F));
        text += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        text += static_cast<char>(0x80 | (c & 0x3F));
    }
}

bool isHighSurrogate(char32_t unit) { return unit >= 0xD800 && unit < 0xDC00; }
bool isLowSurrogate(char32_t unit) { return unit >= 0xDC00 && unit < 0xE000; }

// UTF-16LE text up to its first zero, as UTF-8; a lone last byte is no
// character, and a lone surrogate becomes U+FFFD.
std::string utf8FromUtf16(std::string_view bytes) {
    std::string text;
    for (std::size_t at = 0; at + 1 < bytes.size(); at += 2) {
        char32_t c = u16(bytes, at);
        if (c == 0) break;
        if (isHighSurrogate(c) && at + 3 < bytes.size() && isLowSurrogate(u16(bytes, at + 2))) {
            c = 0x10000 + ((c - 0xD800) << 10) + (u16(bytes, at + 2) - 0xDC00);
            at += 2;
        } else if (isHighSurrogate(c) || isLowSurrogate(c)) {
            c = 0xFFFD;
        }
        appendUtf8(text, c);
    }
    return text;
}

// A block of the version resource, as offsets into it.
struct Block {
    std::string_view key;  // UTF-16LE, without its zero
    std::size_t valueAt;
    std::size_t childrenAt;
    std::size_t end;
    std::uint16_t valueLength;
};

// The block at `at`, which must end by `end`.
Block blockAt(std::string_view resource, std::size_t at, std::size_t end) {
    const std::size_t length = u16(resource, at);
    if (length < kBlockHeaderBytes || length > end - at) throw Malformed{};
    const std::string_view bytes = resource.substr(0, at + length);
    std::size_t keyEnd = at + kBlockHeaderBytes;
    while (u16(bytes, keyEnd) != 0) keyEnd += 2;
    Block block{bytes.substr(at + kBlockHeaderBytes, keyEnd - at - kBlockHeaderBytes),
                align4(keyEnd + 2), 0, bytes.size(), u16(bytes, at + 2)};
    const std::size_t valueBytes =
        u16(bytes, at + 4) == kTextValue ? std::size_t{block.valueLength} * 2 : block.valueLength;
    block.childrenAt = align4(block.valueAt + valueBytes);
    return block;
}

bool keyIs(const Block& block, std::string_view name) {
    if (block.key.size() != name.size() * 2) return false;
    for (std::size_t i = 0; i < name.size(); ++i)
        if (block.key[2 * i + 1] != 0 || lowerAscii(block.key[2 * i]) != lowerAscii(name[i]))
            return false;
    return true;
}

// Hands each child of `parent` to `visit` until it returns true.
template <typename Visit>
void forEachChild(std::string_view resource, const Block& parent, Visit visit) {
    for (std::size_t at = parent.childrenAt; at + kBlockHeaderBytes <= parent.end;) {
        const Block child = blockAt(resource, at, parent.end);
        if (visit(child)) return;
        at = align4(child.end);
    }
}

// A string's value: its text up to its zero, wherever the block ends.
std::string textOf(std::string_view resource, const Block& block) {
    if (block.valueLength == 0 || block.valueAt >= block.end) return {};
    return utf8FromUtf16(resource.substr(block.valueAt, block.end - block.valueAt));
}

void readStrings(std::string_view resource, const Block& root, ProgramVersion& version) {
    forEachChild(resource, root, [&](const Block& fileInfo) {
        if (!keyIs(fileInfo, "StringFileInfo")) return false;
        forEachChild(resource, fileInfo, [&](const Block& table) {
            forEachChild(resource, table, [&](const Block& string) {
                if (keyIs(string, "ProductName") && version.productName.empty())
                    version.productName = textOf(resource, string);
                if (keyIs(string, "FileDescription") && version.fileDescription.empty())
                    version.fileDescription = textOf(resource, string);
                return false;
            });
            return true;  // the first table only
        });
        return true;
    });
}

ProgramVersion parseVersion(std::string_view resource) {
    const Block root = blockAt(resource, 0, resource.size());
    if (!keyIs(root, "VS_VERSION_INFO") || root.valueLength < kFixedInfoBytes) throw Malformed{};
    const std::string_view fixed = resource.substr(0, root.end);
    need(fixed, root.valueAt, kFixedInfoBytes);
    if (u32(fixed, root.valueAt) != kFixedInfoSignature) throw Malformed{};
    const std::uint32_t high = u32(fixed, root.valueAt + kFileVersionAt);
    const std::uint32_t low = u32(fixed, root.valueAt + kFileVersionAt + 4);
    ProgramVersion version;
    version.fileVersion = {high >> 16, high & 0xFFFF, low >> 16, low & 0xFFFF};
    readStrings(resource, root, version);
    return version;
}

}  // namespace

std::optional<ProgramVersion> programVersion(const ProgramBytes& read) {
    try {
        return parseVersion(versionResource(read));
    } catch (const Malformed&) {
        return std::nullopt;
    }
}

std::optional<ProgramVersion> programVersion(Host& host, const std::string& path) {
    try {
        return programVersion([&](std::uint64_t offset, std::size_t count) {
            return host.readFileBytes(path, offset, count);
        });
    } catch (const std::system_error&) {
        return std::nullopt;
    }
}

}  // namespace kelmor
