// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/cue_audio.hpp"

#include <algorithm>

namespace kelmor {

namespace {

using Content = AudioContent;

constexpr unsigned bit(Content content) { return 1u << static_cast<unsigned>(content); }

// What every DOSBox decodes (SDL_sound's decoders in 0.74-3).
constexpr unsigned kEveryDosbox =
    bit(Content::Wave) | bit(Content::Mp3) | bit(Content::OggVorbis) | bit(Content::Flac);

// What each emulator's decoders play, whether it hands a file of any type
// but BINARY to them (else only the types below, of what they play), and
// how it is named where it cannot play a file. DOSBox-X: its sources read;
// whether its builds decode Opus is not known.
struct EmulatorAudio {
    EmulatorDialect dialect;
    std::string_view cannotPlay;
    unsigned plays;  // AudioContent bits
    bool anyType;
};

constexpr EmulatorAudio kEmulatorAudio[] = {
    {EmulatorDialect::Unknown, "not every DOSBox can play", kEveryDosbox, false},
    {EmulatorDialect::Dosbox074, "DOSBox 0.74-3 cannot play", kEveryDosbox, false},
    {EmulatorDialect::Staging, "DOSBox Staging cannot play", kEveryDosbox | bit(Content::OggOpus),
     true},
    {EmulatorDialect::Staging083, "DOSBox Staging cannot play",
     kEveryDosbox | bit(Content::OggOpus), true},
    {EmulatorDialect::DosboxX, "not every DOSBox-X can play", kEveryDosbox, true},
};

// The types that hand a file to the decoders, each with what it declares.
struct DecodedType {
    std::string_view type;
    Content content;
};

constexpr DecodedType kDecodedTypes[] = {
    {"WAVE", Content::Wave}, {"MP3", Content::Mp3},      {"OGG", Content::OggVorbis},
    {"FLAC", Content::Flac}, {"OPUS", Content::OggOpus},
};

constexpr std::string_view kContentNames[] = {"raw CD audio", "WAVE", "MP3",
                                              "Ogg Vorbis",   "Opus", "FLAC"};

unsigned byteAt(std::string_view bytes, std::size_t at) {
    return static_cast<unsigned char>(bytes[at]);
}

// Kilobits a second, by MPEG-1 or not, layer I to III and the header's index.
constexpr unsigned short kMpegBitrates[2][3][15] = {
    {{0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448},
     {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384},
     {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320}},
    {{0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256},
     {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160},
     {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160}},
};
constexpr unsigned kMpeg1SampleRates[] = {44100, 48000, 32000};

// The length of the MPEG audio frame whose header begins `bytes`; 0 where
// none does (free-format frames, whose length no header gives, included).
std::size_t mpegFrameLength(std::string_view bytes) {
    if (bytes.size() < 4 || byteAt(bytes, 0) != 0xFF || (byteAt(bytes, 1) & 0xE0) != 0xE0) return 0;
    const unsigned version = (byteAt(bytes, 1) >> 3) & 3;  // 0 MPEG-2.5, 1 none, 2 MPEG-2, 3 MPEG-1
    const unsigned layer = 4 - ((byteAt(bytes, 1) >> 1) & 3);  // 4 none
    const unsigned bitrate = byteAt(bytes, 2) >> 4, rate = (byteAt(bytes, 2) >> 2) & 3;
    const unsigned padding = (byteAt(bytes, 2) >> 1) & 1;
    if (version == 1 || layer == 4 || bitrate == 0 || bitrate == 15 || rate == 3) return 0;
    const bool mpeg1 = version == 3;
    const unsigned bitsPerSecond = 1000u * kMpegBitrates[mpeg1 ? 0 : 1][layer - 1][bitrate];
    const unsigned samplesPerSecond = kMpeg1SampleRates[rate] >> (mpeg1 ? 0 : version == 2 ? 1 : 2);
    if (layer == 1) return (12 * bitsPerSecond / samplesPerSecond + padding) * 4;
    const unsigned perBit = layer == 3 && !mpeg1 ? 72 : 144;
    return perBit * bitsPerSecond / samplesPerSecond + padding;
}

bool isMpegAudio(std::string_view bytes) {
    if (bytes.substr(0, 3) == "ID3") return true;
    const std::size_t length = mpegFrameLength(bytes);
    return length > 0 && (length >= bytes.size() || mpegFrameLength(bytes.substr(length)) > 0);
}

// An Ogg stream by its first packet, which begins after the page's header
// and its table of segments.
Content oggContent(std::string_view bytes) {
    constexpr std::size_t kPageHeader = 27;
    if (bytes.size() < kPageHeader) return Content::RawCdAudio;
    const std::string_view packet =
        bytes.substr(std::min(bytes.size(), kPageHeader + byteAt(bytes, 26)));
    if (packet.substr(0, 8) == "OpusHead") return Content::OggOpus;
    if (packet.substr(0, 7) == std::string_view("\x01vorbis", 7)) return Content::OggVorbis;
    return Content::RawCdAudio;
}

const EmulatorAudio& audioOf(EmulatorDialect dialect) {
    for (const EmulatorAudio& emulator : kEmulatorAudio)
        if (emulator.dialect == dialect) return emulator;
    return kEmulatorAudio[0];
}

}  // namespace

AudioContent audioContentOf(std::string_view firstBytes) {
    if (firstBytes.size() >= 12 && firstBytes.substr(0, 4) == "RIFF" &&
        firstBytes.substr(8, 4) == "WAVE")
        return Content::Wave;
    if (firstBytes.substr(0, 4) == "fLaC") return Content::Flac;
    if (firstBytes.substr(0, 4) == "OggS") return oggContent(firstBytes);
    return isMpegAudio(firstBytes) ? Content::Mp3 : Content::RawCdAudio;
}

std::string_view audioContentName(AudioContent content) {
    return kContentNames[static_cast<std::size_t>(content)];
}

AudioFileReading readAudioFile(EmulatorDialect dialect, const CueSheetFile& file,
                               AudioContent content) {
    if (file.type == "BINARY") return {};
    const auto declared =
        std::find_if(std::begin(kDecodedTypes), std::end(kDecodedTypes),
                     [&](const DecodedType& known) { return known.type == file.type; });
    const bool decoded = declared != std::end(kDecodedTypes);
    if (decoded && content == Content::RawCdAudio) return {true, {}};
    const EmulatorAudio& emulator = audioOf(dialect);
    const auto refusal = [&](std::string_view why) {
        return AudioFileReading{false, std::string(emulator.cannotPlay) + " `" + file.name + "` (" +
                                           std::string(why) + ")"};
    };
    const std::string asDeclared =
        file.type.empty() ? "declared without a type" : "declared " + file.type;
    // An emulator that goes by the type refuses one it has no decoder for,
    // whatever the file holds.
    if (!emulator.anyType && (!decoded || (emulator.plays & bit(declared->content)) == 0))
        return refusal(decoded ? audioContentName(declared->content)
                               : std::string_view(asDeclared));
    if (content == Content::RawCdAudio) return refusal(asDeclared);
    if ((emulator.plays & bit(content)) == 0) return refusal(audioContentName(content));
    return {};
}

}  // namespace kelmor
