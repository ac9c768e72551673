// SPDX-License-Identifier: GPL-3.0-or-later
// The MOUNT translation. Input: a dosbox.conf. Every drive path maps onto a
// host folder that may need quotes, percent signs doubled or be refused;
// drive I: holds a disc image.
// The line count is kept; a line that changes is a MOUNT command; what the
// translation gives translates to itself.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "dosbox_bridge/mount_translation.hpp"
#include "tests/fuzz/fuzz_support.hpp"

using namespace kelmor;
using fuzz::expect;

namespace {

// "E:\A B" -> "/mnt/e/A B"; a drive Q stands for a folder with a quote.
std::optional<bridge::HostMount> hostFolder(std::string_view drivePath) {
    const char letter = static_cast<char>(drivePath[0] | 0x20);
    if (letter == 'x') return std::nullopt;
    if (letter == 'i') return bridge::HostMount{"/mnt/cds/kel 100%.cue", true};
    std::string folder = letter == 'q' ? "/mnt/\"q" : std::string("/mnt/") + letter;
    for (char c : drivePath.substr(2)) folder += c == '\\' ? '/' : c;
    return bridge::HostMount{folder, false};
}

std::vector<std::string_view> linesOf(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = text.find('\n', start);
        lines.push_back(text.substr(start, end == std::string_view::npos ? end : end - start));
        if (end == std::string_view::npos) return lines;
        start = end + 1;
    }
}

bool isMountLine(std::string_view line) {
    const std::size_t first = line.find_first_not_of(" \t");
    if (first == std::string_view::npos) return false;
    line.remove_prefix(first);
    if (!line.empty() && line.front() == '@') line.remove_prefix(1);
    if (line.size() < 5) return false;
    for (std::size_t i = 0; i < 5; ++i)
        if ((line[i] | 0x20) != "mount"[i]) return false;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view configuration(reinterpret_cast<const char*>(data), size);
    const bridge::MountTranslation translated =
        bridge::translateMountPaths(configuration, hostFolder);
    const auto before = linesOf(configuration), after = linesOf(translated.text);
    expect(before.size() == after.size(), "the line count is kept");
    for (std::size_t i = 0; i < before.size() && i < after.size(); ++i)
        if (before[i] != after[i]) expect(isMountLine(before[i]), "only MOUNT lines change");
    expect(translated.problems.size() <= before.size(), "at most one problem a line");
    expect(bridge::translateMountPaths(translated.text, hostFolder).text == translated.text,
           "a translation translates to itself");
    return 0;
}
