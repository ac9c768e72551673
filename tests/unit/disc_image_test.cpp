// SPDX-License-Identifier: GPL-3.0-or-later
// The disc image reader on every host: images made in memory, read as the
// emulator reads them, and broken in the ways a hostile or damaged image
// is; nothing is ever read beyond what the image holds (the sanitizer tree
// runs these too).
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/cue_audio.hpp"
#include "core/disc_image.hpp"
#include "core/image_check.hpp"
#include "tests/support/iso_images.hpp"

namespace kelmor {
namespace {

using testing::IsoWriter;
using testing::MemoryImageFiles;

// More than one read's worth of sectors, and a byte.
std::string largeContent() { return testing::patternedBytes(40 * 2048 + 1); }

std::string gameCd() {
    IsoWriter cd;
    cd.file("KELMOR/KELMOR/VIGNET.DAT;1", largeContent())
        .file("KELMOR/KELMOR/INTRO.DAT;1", "intro");
    cd.file("KIT/README.;1", "readme").file("KIT/USA/MAPPER.EXE;1", "MZ");
    for (int i = 0; i < 100; ++i) cd.file("KIT/MANY/FILE" + std::to_string(i) + ".DAT;1", "");
    return cd.bytes();
}

std::vector<std::string> pathOf(const std::string& text) {
    std::vector<std::string> parts;
    for (std::size_t start = 0, slash; start < text.size(); start = slash + 1) {
        slash = text.find('/', start);
        if (slash == std::string::npos) slash = text.size();
        parts.push_back(text.substr(start, slash - start));
    }
    return parts;
}

struct ImageKind {
    const char* what;
    const char* image;  // the path opened
    std::function<void(std::map<std::string, std::string>&, const std::string& iso)> lay;
};

const std::vector<ImageKind> kImageKinds{
    {"iso", "/cds/kelmor.iso", [](auto& f, const std::string& iso) { f["/cds/kelmor.iso"] = iso; }},
    {"cue, MODE1/2048 data and audio in one file", "/cds/kelmor.cue",
     [](auto& f, const std::string& iso) {
         f["/cds/kelmor.cue"] =
             "FILE kelmor.bin BINARY\n TRACK 1 MODE1/2048\n INDEX 1 00:00:00\n"
             " TRACK 2 AUDIO\n INDEX 1 " +
             testing::cueTime(iso.size() / 2048) + "\n";
         f["/cds/kelmor.bin"] = iso + testing::audioTrack(30);
     }},
    {"CUE, MODE1/2352 after a pregap of two seconds, in a folder named with a backslash",
     "/cds/KELMOR.CUE",
     [](auto& f, const std::string& iso) {
         f["/cds/KELMOR.CUE"] =
             "\xEF\xBB\xBF"
             "FILE \"rip\\Kelmor (Track 1).bin\" BINARY\r\n  TRACK 01 MODE1/2352\r\n"
             "    INDEX 00 00:00:00\r\n    INDEX 01 00:02:00\r\n"
             "FILE \"rip\\Kelmor (Track 2).bin\" BINARY\r\n  TRACK 02 AUDIO\r\n"
             "    INDEX 01 00:00:00\r\n";
         f["/cds/rip/Kelmor (Track 1).bin"] =
             testing::audioTrack(150) + testing::rawDataTrack(iso, 1);
         f["/cds/rip/Kelmor (Track 2).bin"] = testing::audioTrack(30);
     }},
    {"cue, MODE2/2352 data", "/cds/kelmor.cue",
     [](auto& f, const std::string& iso) {
         f["/cds/kelmor.cue"] =
             "FILE \"kelmor.bin\" BINARY\n  TRACK 01 MODE2/2352\n    INDEX 01 00:00:00\n";
         f["/cds/kelmor.bin"] = testing::rawDataTrack(iso, 2);
     }},
};

TEST(DiscImage, ReadsEveryKindAsTheEmulatorShowsIt) {
    const std::string iso = gameCd();
    for (const ImageKind& kind : kImageKinds) {
        SCOPED_TRACE(kind.what);
        MemoryImageFiles files;
        kind.lay(files.files, iso);
        DiscImage image(files, kind.image);

        struct Probe {
            const char* path;
            bool file;
        };
        const std::vector<Probe> probes{
            {"KELMOR/KELMOR/VIGNET.DAT", true},
            {"kelmor/Kelmor/vignet.dat", true},
            {"KIT/README", true},           // the dot of a name without extension is not shown
            {"KIT/MANY/FILE99.DAT", true},  // a folder of several sectors
            {"KIT/USA/MAPPER.EXE;1", false},
            {"KELMOR/KELMOR/VIGNET.DAT/X", false},
            {"KELMOR/NONE", false},
            {"KIT/MANY", false},
        };
        for (const Probe& p : probes) {
            std::error_code error;
            const auto entry = image.find(pathOf(p.path), error);
            EXPECT_EQ(entry && !entry->folder && image.holds(*entry), p.file) << p.path;
        }
        std::error_code error;
        const auto vignet = image.find(pathOf("KELMOR/KELMOR/VIGNET.DAT"), error);
        ASSERT_TRUE(vignet);
        std::string read;
        image.read(*vignet, [&](std::string_view part) { read += part; });
        EXPECT_TRUE(read == largeContent());
        EXPECT_EQ(image.readBytes(*vignet, 2040, 20), largeContent().substr(2040, 20));
        EXPECT_EQ(image.readBytes(*vignet, 40 * 2048, 20), largeContent().substr(40 * 2048));
        EXPECT_EQ(image.find({"KIT", "USA", "MAPPER.EXE"}, error)->name, "MAPPER.EXE");
        EXPECT_FALSE(image.find({"kelmor", "missing"}, error));
        EXPECT_EQ(error, std::errc::no_such_file_or_directory);
        EXPECT_FALSE(image.find({"KIT", "README", "X"}, error));
        EXPECT_EQ(error, std::errc::not_a_directory);
    }
}

// Where a record of a name begins in an image.
std::size_t recordOf(const std::string& image, const std::string& recordedName) {
    return image.find(recordedName) - 33;
}

void setBoth32(std::string& image, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        image[at + i] = static_cast<char>(value >> (8 * i));
        image[at + 7 - i] = static_cast<char>(value >> (8 * i));
    }
}

struct Damage {
    const char* what;
    std::function<void(std::string& iso)> damage;
    int openError;      // 0: it opens
    const char* path;   // then this is looked for
    int findError;      // 0: found
    int readError = 0;  // of reading what was found (0: it reads)
};

constexpr int kNoDisc = ENXIO;  // MemoryImageFiles' "no disc"

const std::vector<Damage> kDamages{
    {"no volume descriptor", [](std::string& i) { i[16 * 2048 + 1] = 'X'; }, kNoDisc, "", 0},
    {"cut short before its volume descriptor", [](std::string& i) { i.resize(16 * 2048 + 100); },
     kNoDisc, "", 0},
    {"sectors of 512 bytes", [](std::string& i) { i[16 * 2048 + 129] = 2; }, kNoDisc, "", 0},
    {"a root that is no folder", [](std::string& i) { i[16 * 2048 + 156 + 25] = 0; }, kNoDisc, "",
     0},
    {"cut short amid a file", [](std::string& i) { i.resize(i.size() - 10 * 2048); }, 0,
     "KELMOR/KELMOR/VIGNET.DAT", 0, EIO},
    {"a file said to lie beyond the image",
     [](std::string& i) { setBoth32(i, recordOf(i, "INTRO.DAT;1") + 2, 0x7fffffff); }, 0,
     "KELMOR/KELMOR/INTRO.DAT", 0, EIO},
    {"a file of 4 GiB in a small image",
     [](std::string& i) { setBoth32(i, recordOf(i, "INTRO.DAT;1") + 10, 0xffffffff); }, 0,
     "KELMOR/KELMOR/INTRO.DAT", 0, EIO},
    {"a folder said to lie beyond the image",
     [](std::string& i) { setBoth32(i, recordOf(i, "USA") + 2, 0xfffffff0); }, 0,
     "KIT/USA/MAPPER.EXE", EIO},
    {"a folder larger than any CD holds",
     [](std::string& i) { setBoth32(i, recordOf(i, "MANY") + 10, 0xfffff800); }, 0,
     "KIT/MANY/FILE1.DAT", EIO},
    {"a record running past its sector's end, the last of its sector",
     [](std::string& i) { i[recordOf(i, "FILE42.DAT;1")] = static_cast<char>(255); }, 0,
     "KIT/MANY/FILE42.DAT", ENOENT},
    {"the records of the next sector after one that runs past its sector's end",
     [](std::string& i) { i[recordOf(i, "FILE42.DAT;1")] = static_cast<char>(255); }, 0,
     "KIT/MANY/FILE43.DAT", 0},
    {"a name running past its record",
     [](std::string& i) { i[recordOf(i, "README.;1") + 32] = 120; }, 0, "KIT/README", ENOENT},
    {"a record shorter than a record can be", [](std::string& i) { i[recordOf(i, "KIT")] = 20; }, 0,
     "KIT/README", ENOENT},
    {"a folder that holds itself", [](std::string& i) { setBoth32(i, recordOf(i, "USA") + 2, 18); },
     0, "KIT/USA/KIT/USA/KIT/README", 0},
};

TEST(DiscImage, ADamagedImageReadsNothingBeyondWhatItHolds) {
    for (const Damage& d : kDamages) {
        SCOPED_TRACE(d.what);
        MemoryImageFiles files;
        std::string iso = gameCd();
        d.damage(iso);
        files.files["/kelmor.iso"] = iso;
        std::unique_ptr<DiscImage> image;
        try {
            image = std::make_unique<DiscImage>(files, "/kelmor.iso");
        } catch (const std::system_error& failure) {
            EXPECT_EQ(failure.code().value(), d.openError);
            continue;
        }
        ASSERT_EQ(d.openError, 0);
        std::error_code error;
        const auto entry = image->find(pathOf(d.path), error);
        EXPECT_EQ(error.value(), d.findError);
        if (!entry) continue;
        EXPECT_EQ(image->holds(*entry), d.readError == 0);
        int readError = 0;
        try {
            image->read(*entry, [](std::string_view) {});
        } catch (const std::system_error& failure) {
            readError = failure.code().value();
        }
        EXPECT_EQ(readError, d.readError);
    }
}

TEST(DiscImage, ASheetWithoutADataTrackHoldsNoDisc) {
    struct Case {
        const char* what;
        std::string sheet;
        int error;
    };
    const std::vector<Case> cases{
        {"no track", "REM nothing\n", kNoDisc},
        {"a track before any file", "TRACK 01 MODE1/2048\nFILE kelmor.bin BINARY\n", kNoDisc},
        {"an audio track first", "FILE kelmor.bin BINARY\nTRACK 01 AUDIO\nINDEX 01 00:00:00\n",
         kNoDisc},
        {"a mode the emulator does not read", "FILE kelmor.bin BINARY\nTRACK 01 MODE2/2336\n",
         kNoDisc},
        {"longer than any sheet", "REM " + std::string(1 << 20, 'x') + "\n", kNoDisc},
        {"its data file missing", "FILE gone.bin BINARY\nTRACK 01 MODE1/2048\n", ENOENT},
        {"its data track past the file's end",
         "FILE kelmor.bin BINARY\nTRACK 01 MODE1/2048\nINDEX 01 99:00:00\n", kNoDisc},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MemoryImageFiles files;
        files.files["/kelmor.cue"] = c.sheet;
        files.files["/kelmor.bin"] = gameCd();
        int error = 0;
        try {
            DiscImage image(files, "/kelmor.cue");
        } catch (const std::system_error& failure) {
            error = failure.code().value();
        }
        EXPECT_EQ(error, c.error);
    }
}

// An image replaced or cut short while it is read: what is read is what it
// holds at that moment, never more.
TEST(DiscImage, AnImageChangedWhileItIsReadGivesWhatItHoldsThen) {
    MemoryImageFiles files;
    files.files["/kelmor.iso"] = gameCd();
    DiscImage image(files, "/kelmor.iso");
    std::error_code error;
    const auto vignet = image.find(pathOf("KELMOR/KELMOR/VIGNET.DAT"), error);
    ASSERT_TRUE(vignet);
    files.beforeRead = [&] { files.files["/kelmor.iso"].resize(20 * 2048); };
    EXPECT_FALSE(image.holds(*vignet));
    EXPECT_THROW(image.read(*vignet, [](std::string_view) {}), std::system_error);
    EXPECT_FALSE(image.find(pathOf("KIT/USA/MAPPER.EXE"), error));
    EXPECT_EQ(error, std::errc::io_error);
}

// Each image is opened once per run, and so is each failure to open one.
TEST(DiscImages, OpenEachImageOnce) {
    MemoryImageFiles files;
    files.files["/kelmor.iso"] = gameCd();
    DiscImages images(files);
    DiscImage& first = images.open("/kelmor.iso");
    const std::size_t reads = files.reads;
    EXPECT_EQ(&images.open("/kelmor.iso"), &first);
    EXPECT_THROW(images.open("/none.iso"), std::system_error);
    files.files["/none.iso"] = gameCd();
    EXPECT_THROW(images.open("/none.iso"), std::system_error);
    EXPECT_EQ(files.reads, reads + 1);
}

// The first bytes of audio files as their encoders write them.
std::string oggFile(std::string_view packet) {
    return "OggS" + std::string(22, '\0') + "\1" +
           std::string(1, static_cast<char>(packet.size())) + std::string(packet) +
           std::string(64, '\0');
}
const std::string kWaveFile =
    std::string("RIFF\x24\x10\0\0WAVEfmt \x10\0\0\0", 20) + std::string(64, '\0');
// MPEG-1 layer III frames of 128 kbit/s at 44.1 kHz: 417 bytes each.
const std::string kMpegFrame = "\xFF\xFB\x90" + std::string(414, '\0');
const std::string kOpusFile = oggFile("OpusHead\1\2"),
                  kVorbisFile = oggFile(std::string("\1vorbis\0\0", 9));

TEST(AudioContent, ToldFromTheFirstBytes) {
    const std::vector<std::pair<std::string, AudioContent>> rows{
        {kWaveFile, AudioContent::Wave},
        {std::string("RIFF\x24\x10\0\0AVI LIST", 16), AudioContent::RawCdAudio},
        {std::string("ID3\4\0\0\0\0\0\x10", 10) + kMpegFrame, AudioContent::Mp3},
        {kMpegFrame + kMpegFrame, AudioContent::Mp3},
        {kMpegFrame + std::string(8, '\0'), AudioContent::RawCdAudio},  // a header by chance
        {std::string("\xFF\xFF\0\0", 4) + testing::audioTrack(1), AudioContent::RawCdAudio},
        {kOpusFile, AudioContent::OggOpus},
        {kVorbisFile, AudioContent::OggVorbis},
        {oggFile("Speex   "), AudioContent::RawCdAudio},
        {"OggS", AudioContent::RawCdAudio},
        {std::string("fLaC\0\0\0\x22", 8), AudioContent::Flac},
        {testing::audioTrack(1), AudioContent::RawCdAudio},
        {"", AudioContent::RawCdAudio},
    };
    for (const auto& [bytes, content] : rows)
        EXPECT_EQ(audioContentName(audioContentOf(bytes)), audioContentName(content))
            << ::testing::PrintToString(bytes);
}

// What each image holds as the emulator will read it, and the sheet it is
// handed where the one on disk would not mount: names spelled as they are,
// raw CD audio declared BINARY, the first track it cannot find or play left
// out with those after it.
TEST(ImageCheck, WhatAnImageHoldsAndTheSheetTheEmulatorReads) {
    const std::string iso = gameCd(), audio = testing::audioTrack(30);
    const std::string ripSheet =
        "\xEF\xBB\xBF"
        "REM made on Windows\r\nFILE \"KELMOR.BIN\" BINARY\r\n"
        "  TRACK 01 MODE1/2048\r\n    INDEX 01 00:00:00\r\nFILE Track2.bin WAVE\r\n  TRACK 02 "
        "AUDIO\r\n"
        "FILE \"Track 3.bin\" BINARY\r\n  TRACK 03 AUDIO\r\nFILE \"Track 4.bin\" BINARY\r\n"
        "  TRACK 04 AUDIO\r\n";
    // A data track, track 2 in `file` of `type` holding `content`, and track 3.
    const auto track2 = [&](const std::string& file, const std::string& type,
                            const std::string& content) {
        return std::map<std::string, std::string>{
            {"/cds/kelmor.cue", "FILE kelmor.bin BINARY\nTRACK 1 MODE1/2048\nFILE " + file + " " +
                                    type + "\nTRACK 2 AUDIO\nFILE t3.bin BINARY\nTRACK 3 AUDIO\n"},
            {"/cds/kelmor.bin", iso},
            {"/cds/" + file, content},
            {"/cds/t3.bin", audio}};
    };
    const std::string dataAlone = "FILE \"/cds/kelmor.bin\" BINARY\nTRACK 1 MODE1/2048\n";
    struct Case {
        const char* what;
        EmulatorDialect dialect;
        std::map<std::string, std::string> files;
        std::string image;
        std::string holds;
        std::optional<std::string> sheet;
    };
    using Dialect = EmulatorDialect;
    const std::vector<Case> cases{
        {"an iso",
         Dialect::Unknown,
         {{"/cds/kelmor.iso", iso}},
         "/cds/kelmor.iso",
         "no CD audio: an .iso holds none, the game runs without its music tracks",
         std::nullopt},
        {"an iso that is not there",
         Dialect::Unknown,
         {},
         "/cds/kelmor.iso",
         "holds no disc: No such file or directory",
         std::nullopt},
        {"a sheet whose files are all there",
         Dialect::Unknown,
         {{"/cds/kelmor.cue",
           "FILE kelmor.bin BINARY\nTRACK 1 MODE1/2048\nFILE t2.bin BINARY\nTRACK 2 AUDIO\n"},
          {"/cds/kelmor.bin", iso},
          {"/cds/t2.bin", audio}},
         "/cds/kelmor.cue",
         "CD audio: track 2",
         std::nullopt},
        {"a data track alone",
         Dialect::Unknown,
         {{"/cds/kelmor.cue", "FILE kelmor.bin BINARY\nTRACK 1 MODE1/2048\n"},
          {"/cds/kelmor.bin", iso}},
         "/cds/kelmor.cue",
         "no CD audio: the sheet names no audio track",
         std::nullopt},
        {"a sheet alone",
         Dialect::Unknown,
         {{"/cds/kelmor.cue", "FILE Kelmor.bin BINARY\nTRACK 1 MODE1/2048\n"}},
         "/cds/kelmor.cue",
         "holds no disc: the sheet names `Kelmor.bin`, which is not beside it",
         std::nullopt},
        {"names in another case, all there, raw CD audio declared WAVE",
         Dialect::Dosbox074,
         {{"/cds/Kelmor.cue", ripSheet},
          {"/cds/kelmor.bin", iso},
          {"/cds/track2.bin", audio},
          {"/cds/Track 3.bin", audio},
          {"/cds/Track 4.bin", audio}},
         "/cds/Kelmor.cue",
         "CD audio: tracks 2 to 4; track 2 is raw CD audio declared WAVE; handed to DOSBox as "
         "BINARY",
         "\xEF\xBB\xBF"
         "REM made on Windows\r\nFILE \"/cds/kelmor.bin\" BINARY\r\n  TRACK 01 MODE1/2048\r\n"
         "    INDEX 01 00:00:00\r\nFILE \"/cds/track2.bin\" BINARY\r\n  TRACK 02 AUDIO\r\n"
         "FILE \"/cds/Track 3.bin\" BINARY\r\n  TRACK 03 AUDIO\r\nFILE \"/cds/Track 4.bin\" "
         "BINARY\r\n"
         "  TRACK 04 AUDIO\r\n"},
        {"track 3's file missing: it and track 4 are left out",
         Dialect::Unknown,
         {{"/cds/Kelmor.cue", ripSheet},
          {"/cds/KELMOR.BIN", iso},
          {"/cds/Track2.bin", audio},
          {"/cds/Track 4.bin", audio}},
         "/cds/Kelmor.cue",
         "CD audio: track 2; track 2 is raw CD audio declared WAVE; handed to DOSBox as BINARY; "
         "tracks 3 and 4 "
         "left out: the sheet names `Track 3.bin`, which is not beside it",
         "\xEF\xBB\xBF"
         "REM made on Windows\r\nFILE \"/cds/KELMOR.BIN\" BINARY\r\n  TRACK 01 MODE1/2048\r\n"
         "    INDEX 01 00:00:00\r\nFILE \"/cds/Track2.bin\" BINARY\r\n  TRACK 02 AUDIO\r\n"},
        {"every audio file missing",
         Dialect::Unknown,
         {{"/cds/Kelmor.cue", ripSheet}, {"/cds/KELMOR.BIN", iso}},
         "/cds/Kelmor.cue",
         "no CD audio; tracks 2 to 4 left out: the sheet names `Track2.bin`, which is not beside "
         "it",
         "\xEF\xBB\xBF"
         "REM made on Windows\r\nFILE \"/cds/KELMOR.BIN\" BINARY\r\n  TRACK 01 MODE1/2048\r\n"
         "    INDEX 01 00:00:00\r\n"},
        {"a real WAVE file", Dialect::Dosbox074, track2("t2.wav", "WAVE", kWaveFile),
         "/cds/kelmor.cue", "CD audio: tracks 2 and 3", std::nullopt},
        {"WAVE naming an MP3 file", Dialect::Unknown,
         track2("t2.wav", "wave", kMpegFrame + kMpegFrame), "/cds/kelmor.cue",
         "CD audio: tracks 2 and 3", std::nullopt},
        {"Opus where it plays", Dialect::Staging, track2("t2.opus", "OPUS", kOpusFile),
         "/cds/kelmor.cue", "CD audio: tracks 2 and 3", std::nullopt},
        {"Opus where it does not", Dialect::Dosbox074, track2("t2.opus", "OPUS", kOpusFile),
         "/cds/kelmor.cue",
         "no CD audio; tracks 2 and 3 left out: DOSBox 0.74-3 cannot play `t2.opus` (Opus)",
         dataAlone},
        {"WAVE naming an Opus file, for any DOSBox", Dialect::Unknown,
         track2("t2.wav", "WAVE", kOpusFile), "/cds/kelmor.cue",
         "no CD audio; tracks 2 and 3 left out: not every DOSBox can play `t2.wav` (Opus)",
         dataAlone},
        {"AIFF naming a WAVE file, where the type decides", Dialect::Dosbox074,
         track2("t2.aif", "AIFF", kWaveFile), "/cds/kelmor.cue",
         "no CD audio; tracks 2 and 3 left out: DOSBox 0.74-3 cannot play `t2.aif` (declared AIFF)",
         dataAlone},
        {"AIFF naming a WAVE file, where the content decides", Dialect::Staging,
         track2("t2.aif", "AIFF", kWaveFile), "/cds/kelmor.cue", "CD audio: tracks 2 and 3",
         std::nullopt},
        {"MOTOROLA", Dialect::Staging083, track2("t2.bin", "MOTOROLA", audio), "/cds/kelmor.cue",
         "no CD audio; tracks 2 and 3 left out: DOSBox Staging cannot play `t2.bin` (declared "
         "MOTOROLA)",
         dataAlone},
        {"raw CD audio declared OPUS, even where Opus does not play", Dialect::DosboxX,
         track2("t2.bin", "OPUS", audio), "/cds/kelmor.cue",
         "CD audio: tracks 2 and 3; track 2 is raw CD audio declared OPUS; handed to DOSBox as "
         "BINARY",
         dataAlone + "FILE \"/cds/t2.bin\" BINARY\nTRACK 2 AUDIO\nFILE \"/cds/t3.bin\" "
                     "BINARY\nTRACK 3 AUDIO\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MemoryImageFiles files;
        files.files = c.files;
        const ImageCheck check = checkDiscImage(files, c.image, c.dialect);
        EXPECT_EQ(describeImageCheck(check), c.holds);
        EXPECT_EQ(check.sheet, c.sheet);
    }
}

TEST(ImageCheck, TrackListsReadAsText) {
    const std::vector<std::pair<std::vector<unsigned>, std::string>> lists{
        {{2}, "track 2"},
        {{2, 3}, "tracks 2 and 3"},
        {{2, 3, 4, 5}, "tracks 2 to 5"},
        {{2, 4, 7}, "tracks 2, 4 and 7"}};
    for (const auto& [tracks, text] : lists) EXPECT_EQ(trackList(tracks), text);
}

TEST(DiscImage, ANameTellsAnImageByItsEndAlone) {
    struct Name {
        const char* name;
        bool image;
        bool cueSheet;
    };
    const Name names[] = {
        {"Kelmor.iso", true, false},    {"KELMOR.CUE", true, true},
        {"rip/Kelmor.Cue", true, true}, {"x.iso", true, false},
        {".iso", false, false},         {".cue", false, false},
        {"Kelmor.bin", false, false},   {"Kelmor.isos", false, false},
        {"cue", false, false},          {"images.cue/Kelmor", false, false},
    };
    for (const Name& n : names) {
        EXPECT_EQ(isDiscImageFileName(n.name), n.image) << n.name;
        EXPECT_EQ(isCueSheetFileName(n.name), n.cueSheet) << n.name;
    }
}

}  // namespace
}  // namespace kelmor
