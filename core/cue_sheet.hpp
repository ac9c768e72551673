// SPDX-License-Identifier: GPL-3.0-or-later
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
#include <vector>

namespace kelmor {

struct CueTrack {
    std::string file;         // as the sheet names it
    std::string mode;         // in upper case
    std::uint32_t start = 0;  // the sector of its file where it begins (INDEX 01; 0 without)
};

// The first track of a sheet with the file named before it; nothing when the
// sheet names no track, or no file before its first track.
std::optional<CueTrack> firstCueTrack(std::string_view sheet);

// A track of a sheet: its number ("TRACK 02" is 2; 0 where it is no
// number) and its mode, in upper case.
struct CueSheetTrack {
    unsigned number = 0;
    std::string mode;
};

// A FILE line of a sheet and the tracks named after it, up to the next one.
struct CueSheetFile {
    std::string name;  // as the sheet names it
    std::string type;  // the word after the name, in upper case ("BINARY", "WAVE"); "" where none
    std::vector<CueSheetTrack> tracks;
};

// The files of a sheet, in its order.
std::vector<CueSheetFile> cueSheetFiles(std::string_view sheet);

// A FILE line as it is to be written: the file's name, and the type that
// takes the place of the sheet's where it changes.
struct CueFileLine {
    std::string name;
    std::string type;  // "" keeps the sheet's
};

// The sheet with its first files.size() FILE lines naming files[i].name
// instead, in double quotes, with files[i].type in place of their type
// where one is given (after the name where the line gives none), and
// without its lines from the next FILE line on. Every other byte stays as
// it was: the other lines, the rest of each FILE line, the line ends.
std::string cueSheetWithFiles(std::string_view sheet, const std::vector<CueFileLine>& files);

// The path of a file that the sheet at `sheetPath` names, on a host whose
// paths separate folders with `separator` ('/' or '\\'): the name itself when
// it is absolute, else the name beside the sheet. Either slash in the name
// is taken for the host's separator, as the emulator takes it.
std::string cueFilePath(const std::string& sheetPath, std::string_view file, char separator);

// What a sheet whose file is not there is told by: "the sheet names
// `Kelmor.bin`, which is not beside it" ("... not there" for a name with a
// folder).
std::string missingCueFile(std::string_view name);

}  // namespace kelmor
