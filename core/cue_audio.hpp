// SPDX-License-Identifier: GPL-3.0-or-later
// What each emulator makes of the audio files that a cue sheet names.
//
// A sheet's FILE line gives its file a type. BINARY files are read byte for
// byte as raw CD audio (or data), whatever they hold. A file of another
// type goes to the emulator's audio decoders, which go by what it holds: a
// RIFF WAVE, MP3, Ogg Vorbis or FLAC file plays under each of the types
// WAVE, MP3, OGG and FLAC; Ogg Opus only where the emulator has an Opus
// decoder (DOSBox Staging). DOSBox 0.74-3 takes no other type (OPUS,
// MOTOROLA, AIFF); DOSBox Staging and DOSBox-X hand a file of any type to
// their decoders. Raw CD audio (and raw big-endian audio, MOTOROLA) cannot
// be decoded: where a sheet declares such a file otherwise than BINARY
// (rippers that write WAVE for every track), or the emulator cannot play a
// file, it mounts nothing of the sheet. Measured with DOSBox 0.74-3 and
// DOSBox Staging 0.82.2 and 0.83.0.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "core/cue_sheet.hpp"
#include "core/emulator_dialect.hpp"

namespace kelmor {

enum class AudioContent { RawCdAudio, Wave, Mp3, OggVorbis, OggOpus, Flac };

// How many of a file's first bytes tell what it holds.
inline constexpr std::size_t kAudioContentBytes = 2048;

// What a file holds, told from its first bytes: "RIFF....WAVE"; an ID3 tag,
// or an MPEG audio frame's header followed by another where that lies
// within the bytes given; an Ogg page whose packet begins an Opus
// ("OpusHead") or Vorbis ("\x01vorbis") stream; "fLaC". Anything else is
// raw CD audio.
AudioContent audioContentOf(std::string_view firstBytes);

// "raw CD audio", "WAVE", "MP3", "Ogg Vorbis", "Opus", "FLAC".
std::string_view audioContentName(AudioContent content);

// How an emulator reads a file of a sheet that holds audio tracks.
struct AudioFileReading {
    // Raw CD audio declared otherwise than BINARY: it plays where it is
    // declared BINARY.
    bool asBinary = false;
    // Why the emulator cannot play it ("DOSBox 0.74-3 cannot play `x.opus`
    // (Opus)"); empty where it can.
    std::string refusal;
};

// How the emulator of a dialect reads `file`, which holds `content`. An
// unknown emulator reads as DOSBox 0.74-3, what every DOSBox reads.
AudioFileReading readAudioFile(EmulatorDialect dialect, const CueSheetFile& file,
                               AudioContent content);

}  // namespace kelmor
