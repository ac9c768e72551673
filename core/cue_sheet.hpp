// What a cue sheet says of its first track: the track that holds the file
// system of a data disc, the file that holds it and where in that file it
// begins.
//
// A sheet is lines of words separated by blanks; keywords are matched
// without regard to letter case. FILE names a file (in double quotes when
// its name holds blanks) that holds the tracks after it; TRACK gives a
// track's number and mode ("MODE1/2048", "MODE1/2352", "AUDIO", ...); the
// track's INDEX 01 gives where it begins in its file as minutes, seconds and
// frames ("00:02:00"), 75 frames (sectors) a second.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kelmor {

struct CueTrack {
    std::string file;          // as the sheet names it
    std::string mode;          // in upper case
    std::uint32_t start = 0;   // the sector of its file where it begins (INDEX 01; 0 without)
};

// The first track of a sheet with the file named before it; nothing when the
// sheet names no track, or no file before its first track.
std::optional<CueTrack> firstCueTrack(std::string_view sheet);

// The path of a file that the sheet at `sheetPath` names, on a host whose
// paths separate folders with `separator` ('/' or '\\'): the name itself when
// it is absolute, else the name beside the sheet. Either slash in the name
// is taken for the host's separator, as the emulator takes it.
std::string cueFilePath(const std::string& sheetPath, std::string_view file, char separator);

}  // namespace kelmor
