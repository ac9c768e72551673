// SPDX-License-Identifier: GPL-3.0-or-later
// What a disc image holds as the emulator will read it, checked before the
// emulator starts, so that what it cannot mount is told rather than met.
//
// An ".iso" holds a data track and nothing else: no CD audio. A ".cue"
// holds the data track of its first track (DiscImage reads it) and the
// tracks of the files after it. The emulator mounts a sheet only when it
// finds and can read every file it names, spelled as it names it, and its
// tracks are numbered without a gap; otherwise it mounts nothing at all.
// So the check takes each name as Windows finds it, without regard to
// letter case (ImageFiles::matchingFile()); declares BINARY a file of raw
// CD audio that the sheet declares otherwise (cue_audio.hpp), which the
// emulator then plays; and leaves out the first track whose file is missing
// or cannot be played by the emulator at hand with every track after it: a
// later track keeps its number, and the game never plays one piece of
// music for another. Where any of these changes the sheet, `sheet` is the
// one to hand the emulator in its place.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/emulator_dialect.hpp"

namespace kelmor {

class ImageFiles;

// Audio tracks whose file holds raw CD audio though the sheet declares it
// otherwise ("WAVE"): handed to the emulator declared BINARY.
struct MendedTracks {
    std::vector<unsigned> tracks;
    std::string declared;
};

struct ImageCheck {
    bool cueSheet = false;
    // Why the image holds no disc ("the sheet names `Kelmor.bin`, which is
    // not beside it"); empty when it holds one.
    std::string noDisc;
    // The audio tracks that the emulator plays, by number.
    std::vector<unsigned> audioTracks;
    // Those declared BINARY in the emulator's sheet, by the type they had.
    std::vector<MendedTracks> mended;
    // The tracks left out, and why: the first one's file is missing, or the
    // emulator cannot play it.
    std::vector<unsigned> leftOut;
    std::string whyLeftOut;
    // The sheet to hand the emulator in the image's place: each file named
    // by its full path, spelled as it is on the host (it lies elsewhere),
    // mended files declared BINARY, without the tracks left out. Nothing
    // where the image serves as it is.
    std::optional<std::string> sheet;
};

// Checks the image at a host path as the emulator of `dialect` reads it.
// Never throws: what cannot be read is a reason in `noDisc`.
ImageCheck checkDiscImage(ImageFiles& files, const std::string& imagePath, EmulatorDialect dialect);

// "track 2", "tracks 2 and 3", "tracks 2 to 5", "tracks 2, 4 and 7".
std::string trackList(const std::vector<unsigned>& tracks);

// "track 2 is raw CD audio declared WAVE; handed to DOSBox as BINARY", with
// " of <image>" after the tracks where an image is given.
std::string describeMended(const MendedTracks& mended, const std::string& image = {});

// "tracks 2 and 3 left out: <why>", with " of <image>" after the tracks
// where an image is given; for a check that left out tracks.
std::string describeLeftOut(const ImageCheck& check, const std::string& image = {});

// What the image holds, for a user: "holds no disc: <why>", or whether it
// carries CD audio ("CD audio: tracks 2 to 5", "no CD audio: ..."), what
// is mended, and what is left out, with why.
std::string describeImageCheck(const ImageCheck& check);

}  // namespace kelmor
