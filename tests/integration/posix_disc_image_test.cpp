// SPDX-License-Identifier: GPL-3.0-or-later
// Drives that hold a disc image: an .iso or a .cue sheet with its tracks,
// made in the test, probed, read and copied through the real POSIX host as a
// folder drive is; an image that holds no disc is a drive without a disc.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "core/posix/posix_host.hpp"
#include "tests/support/child_process.hpp"
#include "tests/support/disc_images.hpp"
#include "tests/support/temp_folder.hpp"

namespace kelmor::posix {
namespace {

namespace fs = std::filesystem;
using test::failureOf;
using testing::DiscNames;

// More than one read of the host's: 35 sectors and a byte.
std::string largeContent() { return testing::patternedBytes(35 * 2048 + 1); }

class DiscImageDrive : public ::testing::Test {
public:
    DiscImageDrive() {
        temp.write("cd/Kelmor/kelmor/VIGNET.DAT", vignet);
        temp.write("cd/Kelmor/kelmor/Intro.dat", "intro");
        chmod(temp.write("cd/KIT/USA/MAPPER.EXE", "#!/bin/sh\n").c_str(), 0755);
        temp.write("cd/KIT/a long name.txt", "long");
        for (int i = 0; i < 60; ++i)
            temp.write("cd/KIT/MANY/FILE" + std::to_string(i) + ".DAT", "");
        temp.makeFolder("app/SAVEGAME");
        temp.makeFolder("images");
        app = "C:" + temp.path("app");
        for (char& c : app) c = c == '/' ? '\\' : c;
    }

    std::string iso(DiscNames names = DiscNames::RockRidgeAndJoliet) {
        testing::makeIso(temp.path("cd"), temp.path("images/kelmor.iso"), names);
        return temp.path("images/kelmor.iso");
    }
    std::string isoBytes() { return testing::fileBytes(iso()); }
    std::string ripWithFilePerTrack(const std::string& mode) {
        return testing::writeRipWithFilePerTrack(temp.path("images"), "Kelmor [EU] 1.0", isoBytes(),
                                                 mode);
    }
    std::string cue(const std::string& name, const std::string& sheet) {
        return temp.write("images/" + name, sheet);
    }

    // A host whose drive E: holds the image at `image`.
    std::unique_ptr<PosixHost> hostWith(const std::string& image) {
        temp.write("config/kelmor/drives.ini", "[options]\ndetect=no\n[drives]\nE=" + image + "\n");
        return std::make_unique<PosixHost>(PosixHostOptions{.applicationFolder = temp.path("app"),
                                                            .configHome = temp.path("config")});
    }

    test::TempFolder temp;
    const std::string vignet = largeContent();
    std::string app;
};

struct ReadableImage {
    const char* what;
    std::function<std::string(DiscImageDrive&)> make;  // the image's host path
};

const std::vector<ReadableImage> kReadableImages{
    {"iso with Rock Ridge and Joliet names", [](DiscImageDrive& d) { return d.iso(); }},
    {"iso with Rock Ridge names",
     [](DiscImageDrive& d) { return d.iso(DiscNames::RockRidgeOnly); }},
    {"iso with Joliet names", [](DiscImageDrive& d) { return d.iso(DiscNames::JolietOnly); }},
    {"iso with ISO 9660 names alone",
     [](DiscImageDrive& d) { return d.iso(DiscNames::Iso9660Only); }},
    {"cue, MODE1/2048 data and audio in files of their own",
     [](DiscImageDrive& d) {
         d.temp.write("images/Kelmor data.bin", d.isoBytes());
         d.temp.write("images/audio.bin", testing::audioTrack(300));
         return d.cue("KELMOR.CUE",
                      "FILE \"Kelmor data.bin\" BINARY\r\n  TRACK 01 MODE1/2048\r\n"
                      "    INDEX 01 00:00:00\r\nFILE \"audio.bin\" BINARY\r\n  TRACK 02 AUDIO\r\n"
                      "    INDEX 00 00:00:00\r\n    INDEX 01 00:02:00\r\n");
     }},
    {"cue, MODE1/2048 data and audio in one file",
     [](DiscImageDrive& d) {
         const std::string data = d.isoBytes();
         d.temp.write("images/kelmor.bin", data + testing::audioTrack(300));
         return d.cue("kelmor.cue",
                      "FILE kelmor.bin BINARY\n TRACK 1 MODE1/2048\n INDEX 1 00:00:00\n"
                      " TRACK 2 AUDIO\n INDEX 1 " +
                          testing::cueTime(data.size() / 2048) + "\n");
     }},
    {"cue, MODE1/2352 data and audio in one file",
     [](DiscImageDrive& d) {
         const std::string data = testing::rawDataTrack(d.isoBytes(), 1);
         d.temp.write("images/kelmor.bin", data + testing::audioTrack(300));
         return d.cue("kelmor.cue",
                      "FILE \"kelmor.bin\" BINARY\n  TRACK 01 MODE1/2352\n    INDEX 01 00:00:00\n"
                      "  TRACK 02 AUDIO\n    INDEX 01 " +
                          testing::cueTime(data.size() / 2352) + "\n");
     }},
    {"cue, MODE2/2352 data",
     [](DiscImageDrive& d) {
         d.temp.write("images/kelmor.bin", testing::rawDataTrack(d.isoBytes(), 2));
         return d.cue("kelmor.cue",
                      "FILE \"kelmor.bin\" BINARY\n  TRACK 01 MODE2/2352\n    INDEX 01 00:00:00\n");
     }},
    {"cue naming its folder and file in another letter case, as rips made on Windows do",
     [](DiscImageDrive& d) {
         d.temp.write("images/Rip/kelmor.bin", d.isoBytes());
         return d.cue("Kelmor.cue", "FILE \"rip\\KELMOR.BIN\" BINARY\r\n  TRACK 01 MODE1/2048\r\n");
     }},
    {"cue, one file per track, MODE1/2048",
     [](DiscImageDrive& d) { return d.ripWithFilePerTrack("MODE1/2048"); }},
    {"cue, one file per track, MODE1/2352",
     [](DiscImageDrive& d) { return d.ripWithFilePerTrack("MODE1/2352"); }},
    {"cue, one file per track, MODE2/2352",
     [](DiscImageDrive& d) { return d.ripWithFilePerTrack("MODE2/2352"); }},
};

TEST_F(DiscImageDrive, ProbesReadsAndCopiesAsFromAFolderAndWritesNothing) {
    for (const ReadableImage& image : kReadableImages) {
        SCOPED_TRACE(image.what);
        const auto host = hostWith(image.make(*this));
        struct Probe {
            const char* path;
            bool expected;
        };
        const std::vector<Probe> probes{
            {"E:\\KELMOR\\KELMOR\\VIGNET.DAT", true},
            {"e:\\kelmor\\Kelmor\\vignet.dat", true},
            {"E:\\KIT\\MANY\\FILE59.DAT", true},  // a folder of more than one sector
            {"E:\\\\KELMOR\\\\KELMOR\\INTRO.DAT", true},
            {"E:\\KIT\\A_LONG_N.TXT", true},
            {"E:\\KIT\\A LONG NAME.TXT",
             false},  // the host's name, which the emulator does not show
            {"E:\\KELMOR\\KELMOR", false},
            {"E:\\", false},
            {"E:\\VIGNET.DAT", false},
            {"E:\\KELMOR\\KELMOR\\VIGNET.DAT\\X", false},
            {"E:\\KELMOR\\NONE\\VIGNET.DAT", false},
        };
        for (const Probe& p : probes) EXPECT_EQ(host->fileExist(p.path), p.expected) << p.path;

        EXPECT_TRUE(host->readFile("E:\\kelmor\\kelmor\\vignet.dat") == vignet);
        EXPECT_EQ(host->readFile("E:\\KELMOR\\KELMOR\\INTRO.DAT"), "intro");
        host->copyFile("E:\\KELMOR\\KELMOR\\VIGNET.DAT", app + "\\SAVEGAME\\VIGNET.DAT");
        EXPECT_TRUE(temp.read("app/SAVEGAME/VIGNET.DAT") == vignet);
        host->copyFile("E:\\KIT\\USA\\MAPPER.EXE", app + "\\MAPPER.EXE");
        EXPECT_EQ(temp.read("app/MAPPER.EXE"), "#!/bin/sh\n");
        EXPECT_NE(access(temp.path("app/MAPPER.EXE").c_str(), X_OK), 0);  // a copy is only read

        struct Refusal {
            const char* what;
            std::function<void()> operation;
            int error;
        };
        const std::vector<Refusal> refusals{
            {"delete", [&] { host->deleteFile("E:\\KELMOR\\KELMOR\\VIGNET.DAT"); }, EROFS},
            {"replace", [&] { host->replaceFile("E:\\NEW.DAT", "x"); }, EROFS},
            {"copy onto", [&] { host->copyFile(app + "\\MAPPER.EXE", "E:\\MAPPER.EXE"); }, EROFS},
            {"read a folder", [&] { host->readFile("E:\\KELMOR"); }, EISDIR},
            {"read a missing file", [&] { host->readFile("E:\\KELMOR\\NONE.DAT"); }, ENOENT},
            {"flush, nothing written", [&] { host->flushWrites("E:\\"); }, 0},
        };
        for (const Refusal& r : refusals) EXPECT_EQ(failureOf(r.operation), r.error) << r.what;
        std::filesystem::remove_all(temp.path("images"));
        temp.makeFolder("images");
    }
}

TEST_F(DiscImageDrive, AnImageBesideTheProgramsTakesTheLowestFreeLetter) {
    testing::makeIso(temp.path("cd"), temp.path("app/Kelmor (EU).iso"));
    temp.write("app/notes.txt", "");
    struct Case {
        const char* what;
        std::string driveMap;
        std::string found;
    };
    const std::vector<Case> cases{
        {"no drive map", "", "D"},
        {"after a mapped letter", "[drives]\nD=" + temp.path("cd/KIT") + "\n", "E"},
        {"detect=no", "[options]\ndetect=no\n", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        temp.write("config/kelmor/drives.ini", c.driveMap);
        PosixHost host({.applicationFolder = temp.path("app"),
                        .configHome = temp.path("config"),
                        .mountsFile = temp.path("no mounts")});
        std::string found;
        for (const char* letter : {"D", "E", "F"})
            if (host.fileExist(std::string(letter) + ":\\KELMOR\\KELMOR\\VIGNET.DAT"))
                found += letter;
        EXPECT_EQ(found, c.found);
    }
}

std::atomic<int> childrenEnded;

// An image is read in this process, as it is at each start: one changed in
// place, its time set back, is read as it is now.
TEST_F(DiscImageDrive, AnImageChangedInPlaceIsReadAsItIsNow) {
    const std::string sheet = ripWithFilePerTrack("MODE1/2352");
    const std::string track = temp.path("images/Kelmor [EU] 1.0 (Track 1).bin");
    struct stat before {};
    stat(track.c_str(), &before);
    struct sigaction counting {
    }, previous{};
    counting.sa_handler = [](int) { ++childrenEnded; };
    sigaction(SIGCHLD, &counting, &previous);
    childrenEnded = 0;
    EXPECT_TRUE(hostWith(sheet)->readFile("E:\\KELMOR\\KELMOR\\INTRO.DAT") == "intro");

    std::string changed = testing::fileBytes(track);
    const std::size_t intro = changed.find("intro");
    ASSERT_NE(intro, std::string::npos);
    changed.replace(intro, 5, "INTRO");
    struct Change {
        const char* what;
        std::string bytes;
        bool readable;
    };
    for (const Change& c : std::vector<Change>{
             {"changed", changed, true}, {"cut short", changed.substr(0, 20 * 2352), false}}) {
        SCOPED_TRACE(c.what);
        temp.write(fs::relative(track, temp.path()).string(), c.bytes);
        const timespec times[2] = {before.st_atim, before.st_mtim};
        utimensat(AT_FDCWD, track.c_str(), times, 0);
        const auto host = hostWith(sheet);
        if (c.readable)
            EXPECT_EQ(host->readFile("E:\\KELMOR\\KELMOR\\INTRO.DAT"), "INTRO");
        else
            EXPECT_FALSE(host->fileExist("E:\\KELMOR\\KELMOR\\INTRO.DAT"));
    }
    EXPECT_EQ(childrenEnded, 0);  // no process is started to read an image
    sigaction(SIGCHLD, &previous, nullptr);
}

struct BadImage {
    const char* what;
    std::function<std::string(DiscImageDrive&)> make;
    int error;  // of reading the marker file
};

const std::vector<BadImage> kBadImages{
    {"missing", [](DiscImageDrive& d) { return d.temp.path("images/none.iso"); }, ENOENT},
    {"a folder", [](DiscImageDrive& d) { return d.temp.makeFolder("images/kelmor.iso"); }, EISDIR},
    {"a FIFO",
     [](DiscImageDrive& d) {
         mkfifo(d.temp.path("images/kelmor.iso").c_str(), 0600);
         return d.temp.path("images/kelmor.iso");
     },
     EINVAL},
    {"a cue sheet whose data track is a FIFO",
     [](DiscImageDrive& d) {
         mkfifo(d.temp.path("images/kelmor.bin").c_str(), 0600);
         return d.cue("kelmor.cue", "FILE kelmor.bin BINARY\nTRACK 01 MODE1/2048\n");
     },
     EINVAL},
    {"a cue sheet whose data file is missing",
     [](DiscImageDrive& d) {
         return d.cue("kelmor.cue", "FILE gone.bin BINARY\nTRACK 01 MODE1/2048\n");
     },
     ENOENT},
    {"no image at all",
     [](DiscImageDrive& d) { return d.temp.write("images/kelmor.iso", std::string(80000, 'x')); },
     EMEDIUMTYPE},
    {"cut short before its file system",
     [](DiscImageDrive& d) {
         return d.temp.write("images/kelmor.iso", d.isoBytes().substr(0, 10 * 2048));
     },
     EMEDIUMTYPE},
    {"cut short amid its files",
     [](DiscImageDrive& d) {
         const std::string whole = d.isoBytes();
         return d.temp.write("images/kelmor.iso", whole.substr(0, whole.size() - 20 * 2048));
     },
     EIO},
    {"a cue sheet naming no track",
     [](DiscImageDrive& d) { return d.cue("kelmor.cue", "REM nothing\n"); }, EMEDIUMTYPE},
    {"a cue sheet whose first track is audio",
     [](DiscImageDrive& d) {
         d.temp.write("images/kelmor.bin", testing::audioTrack(300));
         return d.cue("kelmor.cue", "FILE kelmor.bin BINARY\nTRACK 01 AUDIO\nINDEX 01 00:00:00\n");
     },
     EMEDIUMTYPE},
};

// None of them waits, and none changes what a copy would replace.
TEST_F(DiscImageDrive, AnImageWithoutADiscIsADriveWithoutADisc) {
    temp.write("app/SAVEGAME/INTRO.DAT", "old");
    alarm(20);
    for (const BadImage& image : kBadImages) {
        SCOPED_TRACE(image.what);
        const std::string imagePath = image.make(*this);
        const auto host = hostWith(imagePath);
        EXPECT_FALSE(host->fileExist("E:\\KELMOR\\KELMOR\\VIGNET.DAT"));
        EXPECT_EQ(failureOf([&] { host->readFile("E:\\KELMOR\\KELMOR\\VIGNET.DAT"); }),
                  image.error);
        EXPECT_EQ(failureOf([&] {
                      host->copyFile("E:\\KELMOR\\KELMOR\\VIGNET.DAT",
                                     app + "\\SAVEGAME\\INTRO.DAT");
                  }),
                  image.error);
        EXPECT_EQ(temp.read("app/SAVEGAME/INTRO.DAT"), "old");
        EXPECT_EQ(temp.names("app/SAVEGAME"), std::vector<std::string>{"INTRO.DAT"});
        EXPECT_FALSE(hostWith(imagePath)->fileExist("E:\\KELMOR\\KELMOR\\VIGNET.DAT"));
        std::filesystem::remove_all(temp.path("images"));
        temp.makeFolder("images");
    }
    alarm(0);
}

}  // namespace
}  // namespace kelmor::posix
