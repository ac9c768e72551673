// SPDX-License-Identifier: GPL-3.0-or-later
// The first track of a cue sheet. Input: a sheet. A track found names a
// file that the sheet holds, in a mode of upper-case words; lines after the
// first track's never change it or where it begins; the file's host path
// holds no backslash and lies beside the sheet unless the name is absolute.
// A sheet given its own names again names the same files with the same
// tracks and types, the types given in their place; given fewer, the first
// of them.
#include <string>
#include <vector>

#include "core/cue_sheet.hpp"
#include "tests/fuzz/fuzz_support.hpp"

using namespace kelmor;
using fuzz::expect;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string sheet(reinterpret_cast<const char*>(data), size);
    const auto files = cueSheetFiles(sheet);
    std::vector<CueFileLine> lines;
    for (const CueSheetFile& file : files)
        if (file.name.find('"') == std::string::npos)
            lines.push_back({file.name, lines.size() % 2 == 1 ? "BINARY" : ""});
    if (lines.size() == files.size()) {
        if (!lines.empty()) lines.pop_back();
        const auto kept = cueSheetFiles(cueSheetWithFiles(sheet, lines));
        expect(kept.size() == lines.size(), "a sheet given fewer names names that many files");
        for (std::size_t i = 0; i < kept.size(); ++i) {
            expect(kept[i].name == lines[i].name && kept[i].tracks.size() == files[i].tracks.size(),
                   "each file kept keeps its name and tracks");
            expect(kept[i].type == (lines[i].type.empty() ? files[i].type : lines[i].type),
                   "each file kept has the type given, else its own");
        }
    }
    const auto track = firstCueTrack(sheet);
    if (!track) return 0;
    expect(!track->file.empty() && sheet.find(track->file) != std::string::npos,
           "the file is named in the sheet");
    for (char c : track->mode) expect(c < 'a' || c > 'z', "the mode is in upper case");
    const auto later = firstCueTrack(sheet + "\nFILE other.bin BINARY\nTRACK 02 AUDIO\n");
    expect(later && later->file == track->file && later->mode == track->mode &&
               later->start == track->start,
           "lines after the first track change nothing");
    const std::string path = cueFilePath("/cds/kelmor.cue", track->file, '/');
    expect(path.find('\\') == std::string::npos, "no backslash in a host path");
    expect(path.front() == '/', "an absolute host path");
    return 0;
}
