// What a cue sheet says of its first track: the track that holds the file
// system of a data disc, and the file that holds the track.
//
// A sheet is lines of words separated by blanks; keywords are matched
// without regard to letter case. FILE names a file (in double quotes when
// its name holds blanks) that holds the tracks after it; TRACK gives a
// track's number and mode ("MODE1/2048", "MODE1/2352", "AUDIO", ...).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kelmor::posix {

struct CueTrack {
    std::string file;  // as the sheet names it
    std::string mode;  // in upper case
};

// The first track of a sheet with the file named before it; nothing when the
// sheet names no track, or no file before its first track.
std::optional<CueTrack> firstCueTrack(std::string_view sheet);

// The host path of a file that the sheet at `sheetPath` names: the name
// itself when it is absolute, else the name beside the sheet; backslashes
// are taken for slashes, as the emulator takes them.
std::string cueFilePath(const std::string& sheetPath, std::string_view file);

}  // namespace kelmor::posix
