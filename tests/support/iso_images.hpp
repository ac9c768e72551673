// SPDX-License-Identifier: GPL-3.0-or-later
// Disc images made in memory for the tests that run on every host: a small
// ISO 9660 writer, whose folders and records a test can then break, and the
// host's files as a map of paths to bytes.
#pragma once

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <system_error>
#include <vector>

#include "core/ascii_text.hpp"
#include "core/disc_image.hpp"

namespace kelmor::testing {

// Bytes that differ from sector to sector and within each, so that a piece
// read from the wrong place shows.
inline std::string patternedBytes(std::size_t size) {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(i * 7 + i / 251);
    return bytes;
}

// Files by path, read as a host would read them; a read can be made to see
// the file as it is at that moment (`beforeRead`).
class MemoryImageFiles final : public ImageFiles {
public:
    std::map<std::string, std::string> files;
    std::function<void()> beforeRead;
    std::size_t reads = 0;

    std::string readBytes(const std::string& path, std::uint64_t offset,
                          std::size_t count) override {
        if (beforeRead) beforeRead();
        ++reads;
        const auto file = files.find(path);
        if (file == files.end()) throw std::system_error(ENOENT, std::generic_category(), path);
        if (offset >= file->second.size()) return {};
        return file->second.substr(static_cast<std::size_t>(offset), count);
    }
    // As a host whose names differ in case: the first key equal without regard to it.
    std::string matchingFile(const std::string& path) override {
        if (files.count(path) != 0) return path;
        for (const auto& [name, bytes] : files)
            if (equalIgnoringAsciiCase(name, path)) return name;
        return path;
    }
    char separator() const override { return '/'; }
    std::error_code noDisc() const override { return {ENXIO, std::generic_category()}; }
};

// An ISO 9660 image of 2048-byte sectors: the primary volume descriptor at
// sector 16, the set's terminator at 17, then each folder's records (a folder
// takes as many sectors as its records need; no record crosses a sector),
// then each file's data. Paths are the names as recorded ("KIT/KELKIT.EXE;1"),
// folders made as their files need them.
class IsoWriter {
public:
    struct Node {
        std::string name;
        bool folder = true;
        std::string content;
        std::vector<Node> children;
        std::uint32_t sector = 0, size = 0;
    };

    IsoWriter& file(const std::string& path, const std::string& content) {
        Node* folder = &root_;
        std::size_t start = 0;
        for (std::size_t slash; (slash = path.find('/', start)) != std::string::npos;
             start = slash + 1)
            folder = &child(*folder, path.substr(start, slash - start));
        folder->children.push_back(Node{path.substr(start), false, content, {}});
        return *this;
    }
    IsoWriter& folder(const std::string& path) {
        Node* folder = &root_;
        std::size_t start = 0;
        for (std::size_t slash; start <= path.size(); start = slash + 1) {
            slash = path.find('/', start);
            if (slash == std::string::npos) slash = path.size();
            folder = &child(*folder, path.substr(start, slash - start));
        }
        return *this;
    }

    std::string bytes() {
        std::uint32_t next = 18;
        place(root_, next, true);
        place(root_, next, false);
        std::string image(std::size_t{next} * 2048, '\0');
        image[16 * 2048] = 1;
        image.replace(16 * 2048 + 1, 6, "CD001\1");
        image[16 * 2048 + 128] = 0;
        image[16 * 2048 + 129] = 8;  // 2048, little-endian
        image.replace(16 * 2048 + 156, 34, record(root_, std::string(1, '\0')));
        image[17 * 2048] = '\xff';
        image.replace(17 * 2048 + 1, 6, "CD001\1");
        write(root_, root_, image);
        return image;
    }

    // A folder record as the image holds it.
    static std::string record(const Node& node, const std::string& name) {
        std::string r(33 + name.size() + (name.size() % 2 == 0), '\0');
        r[0] = static_cast<char>(r.size());
        both32(r, 2, node.sector);
        both32(r, 10, node.size);
        r[25] = node.folder ? 2 : 0;
        r[28] = 1;
        r[30] = 1;
        r[32] = static_cast<char>(name.size());
        r.replace(33, name.size(), name);
        return r;
    }

private:
    static Node& child(Node& folder, const std::string& name) {
        for (Node& c : folder.children)
            if (c.folder && c.name == name) return c;
        folder.children.push_back(Node{name, true, {}, {}});
        return folder.children.back();
    }
    static void both32(std::string& r, std::size_t at, std::uint32_t value) {
        for (int i = 0; i < 4; ++i) {
            r[at + i] = static_cast<char>(value >> (8 * i));
            r[at + 7 - i] = static_cast<char>(value >> (8 * i));
        }
    }

    // The records of a folder, "." and ".." first, laid into sectors.
    static std::vector<std::string> sectorsOf(const Node& folder, const Node& parent) {
        std::vector<std::string> sectors(1);
        const auto add = [&](const std::string& r) {
            if (sectors.back().size() + r.size() > 2048) sectors.emplace_back();
            sectors.back() += r;
        };
        add(record(folder, std::string(1, '\0')));
        add(record(parent, std::string(1, '\1')));
        for (const Node& c : folder.children) add(record(c, c.name));
        return sectors;
    }
    // First every folder's place (its size settles from its names alone),
    // then every file's.
    void place(Node& node, std::uint32_t& next, bool folders) {
        if (node.folder && folders) {
            node.size = static_cast<std::uint32_t>(sectorsOf(node, node).size() * 2048);
            node.sector = next;
            next += node.size / 2048;
        } else if (!node.folder && !folders) {
            node.size = static_cast<std::uint32_t>(node.content.size());
            node.sector = next;
            next += (node.size + 2047) / 2048;
        }
        for (Node& c : node.children) place(c, next, folders);
    }
    static void write(const Node& node, const Node& parent, std::string& image) {
        if (!node.folder) {
            image.replace(std::size_t{node.sector} * 2048, node.content.size(), node.content);
            return;
        }
        const auto sectors = sectorsOf(node, parent);
        for (std::size_t i = 0; i < sectors.size(); ++i)
            image.replace((node.sector + i) * 2048, sectors[i].size(), sectors[i]);
        for (const Node& c : node.children) write(c, node, image);
    }

    Node root_{"", true, {}, {}};
};

// The 2048-byte sectors of an ISO image as 2352-byte sectors of a data
// track: sync, address and mode, then the data (MODE2 with its subheader of
// form 1); error codes left zero.
inline std::string rawDataTrack(const std::string& iso, int mode) {
    std::string raw;
    const auto bcd = [](int value) { return static_cast<char>((value / 10) << 4 | value % 10); };
    for (std::size_t sector = 0; sector * 2048 < iso.size(); ++sector) {
        const int address = static_cast<int>(sector) + 150;
        raw += std::string("\0\xff\xff\xff\xff\xff\xff\xff\xff\xff\xff\0", 12);
        raw += {bcd(address / 4500), bcd(address / 75 % 60), bcd(address % 75),
                static_cast<char>(mode)};
        if (mode == 2) raw += std::string("\0\0\x08\0\0\0\x08\0", 8);
        raw += iso.substr(sector * 2048, 2048);
        raw += std::string(mode == 2 ? 280 : 288, '\0');
    }
    return raw;
}

// Sectors of an audio track: 2352 bytes each, a tone of 16-bit samples.
inline std::string audioTrack(int sectors) {
    std::string audio(static_cast<std::size_t>(sectors) * 2352, '\0');
    for (std::size_t i = 0; i < audio.size(); ++i) audio[i] = static_cast<char>(i % 97 * 3);
    return audio;
}

// "mm:ss:ff" of a sector count, as cue sheets give a track's start.
inline std::string cueTime(std::size_t sectors) {
    char text[32];
    std::snprintf(text, sizeof text, "%02zu:%02zu:%02zu", sectors / 4500, sectors / 75 % 60,
                  sectors % 75);
    return text;
}

}  // namespace kelmor::testing
