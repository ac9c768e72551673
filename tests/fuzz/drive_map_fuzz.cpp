// SPDX-License-Identifier: GPL-3.0-or-later
// The drive map. Input: the drive map text and a mount table text, apart at
// a NUL byte. C: is the root; A: and B: are never drives; every other drive
// is an absolute folder without repeated or trailing slashes; the drives
// the file names alone are the same when written out and read again (each
// with a slash at its end, which keeps blanks and a CR at the end of a name).
#include <string>

#include "core/linux_drives/linux_drive_map.hpp"
#include "tests/fuzz/fuzz_support.hpp"

using namespace kelmor;
using fuzz::expect;

namespace {

bool tidyAbsolute(const std::string& folder) {
    if (folder.empty() || folder.front() != '/') return false;
    if (folder.size() > 1 && folder.back() == '/') return false;
    return folder.find("//") == std::string::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto parts = fuzz::fields(data, size, 2);
    const linux_drives::DriveMap map = linux_drives::DriveMap::parse(parts[0], parts[1]);
    expect(map.root('C') == std::string("/") && map.root('c') == std::string("/"),
           "C: is the root");
    expect(!map.root('A') && !map.root('B'), "A: and B: are no drives");
    for (char letter = 'D'; letter <= 'Z'; ++letter) {
        const auto root = map.root(letter);
        expect(root == map.root(static_cast<char>(letter - 'A' + 'a')), "letters in either case");
        if (root) expect(tidyAbsolute(*root), "a drive is a tidy absolute folder");
    }

    const linux_drives::DriveMap named = linux_drives::DriveMap::parse(parts[0], "");
    std::string written = "[options]\ndetect=no\n[drives]\n";
    for (char letter = 'D'; letter <= 'Z'; ++letter)
        if (const auto root = named.root(letter))
            written += std::string(1, letter) + "=" + *root + "/\n";
    const linux_drives::DriveMap reread = linux_drives::DriveMap::parse(written, "");
    for (char letter = 'D'; letter <= 'Z'; ++letter)
        expect(reread.root(letter) == named.root(letter), "the named drives read back as written");
    return 0;
}
