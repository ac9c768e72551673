// SPDX-License-Identifier: GPL-3.0-or-later
// What a disc image holds as the emulator will read it, checked before the
// emulator starts, so that what it cannot mount is told rather than met.
//
// An ".iso" holds a data track and nothing else: no CD audio. A ".cue"
// holds the data track of its first track (DiscImage reads it) and the
// tracks of the files after it. The emulator mounts a sheet only when every
// file it names is there, spelled as it names it, and its tracks are
// numbered without a gap; otherwise it mounts nothing at all. So the check
// takes each name as Windows finds it, without regard to letter case
// (ImageFiles::matchingFile()), and leaves out the first track whose file
// is missing with every track after it: a later track keeps its number,
// and the game never plays one piece of music for another. Where either
// changes the sheet, `sheet` is the one to hand the emulator in its place.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace kelmor {

class ImageFiles;

struct ImageCheck {
    bool cueSheet = false;
    // Why the image holds no disc ("the sheet names `Kelmor.bin`, which is
    // not beside it"); empty when it holds one.
    std::string noDisc;
    // The audio tracks that the emulator plays, by number.
    std::vector<unsigned> audioTracks;
    // The tracks left out, and why: the first one's file is missing.
    std::vector<unsigned> leftOut;
    std::string whyLeftOut;
    // The sheet to hand the emulator in the image's place: each file named
    // by its full path, spelled as it is on the host (it lies elsewhere),
    // without the tracks left out. Nothing where the image serves as it is.
    std::optional<std::string> sheet;
};

// Checks the image at a host path. Never throws: what cannot be read is a
// reason in `noDisc`.
ImageCheck checkDiscImage(ImageFiles& files, const std::string& imagePath);

// "track 2", "tracks 2 and 3", "tracks 2 to 5", "tracks 2, 4 and 7".
std::string trackList(const std::vector<unsigned>& tracks);

// What the image holds, for a user: "holds no disc: <why>", or whether it
// carries CD audio ("CD audio: tracks 2 to 5", "no CD audio: ..."), and
// what is left out, with why.
std::string describeImageCheck(const ImageCheck& check);

}  // namespace kelmor
