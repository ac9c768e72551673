// SPDX-License-Identifier: GPL-3.0-or-later
#include "game_launcher/game_launch.hpp"

#include <gtest/gtest.h>

#include "core/cd_probes.hpp"
#include "core/dosbox_config.hpp"
#include "core/installation_marker.hpp"
#include "core/unhandled_error.hpp"
#include "tests/support/fake_host.hpp"
#include "tests/support/iso_images.hpp"

namespace kelmor {
namespace {

using testing::FakeHost;

const std::string kApp = "C:\\Games\\Kelmor";
const std::string kConf = kApp + "\\dosbox.conf";
const std::string kSaveIntro = kApp + "\\SAVEGAME\\INTRO.DAT";

// Runs the sequence to its end and returns the exit code.
int runGame(FakeHost& host) {
    GameLauncher launcher(host);
    return testing::exitCodeOf([&] { launcher.run(); });
}

std::vector<std::string> autoexecLines(const std::string& conf) {
    const std::string header = "[autoexec]\r\n";
    return splitTextLines(conf.substr(conf.find(header) + header.size()));
}

TEST(GameCdProbes, Probes69PlacesInLayoutThenLetterOrder) {
    const std::vector<CdProbe> probes = gameCdProbes();
    ASSERT_EQ(probes.size(), 69u);
    EXPECT_EQ(probes[0].markerFile, "D:\\KELMOR\\KELMOR\\VIGNET.DAT");
    EXPECT_EQ(probes[0].folder, "D:\\KELMOR\\KELMOR");
    EXPECT_EQ(probes[22].markerFile, "Z:\\KELMOR\\KELMOR\\VIGNET.DAT");
    EXPECT_EQ(probes[23].markerFile, "D:\\KELMOR\\VIGNET.DAT");
    EXPECT_EQ(probes[23].folder, "D:\\KELMOR");
    EXPECT_EQ(probes[46].markerFile, "D:\\VIGNET.DAT");
    EXPECT_EQ(probes[46].folder, "D:\\");
    EXPECT_EQ(probes[68].markerFile, "Z:\\VIGNET.DAT");
    EXPECT_EQ(probes[68].folder, "Z:\\");
}

TEST(GameLaunch, RunsEveryProbeAndTheLastHitWins) {
    struct Case {
        const char* name;
        std::vector<std::string> markers;
        std::string folder, root, letter;
        std::string image = "";  // the disc image the host gives the letter
    };
    const Case cases[] = {
        {"nested on E", {"E:\\KELMOR\\KELMOR\\VIGNET.DAT"}, "E:\\KELMOR\\KELMOR", "E:\\", "E"},
        {"later letter wins",
         {"D:\\KELMOR\\KELMOR\\VIGNET.DAT", "G:\\KELMOR\\KELMOR\\VIGNET.DAT"},
         "G:\\KELMOR\\KELMOR",
         "G:\\",
         "G"},
        {"root layout beats nested",
         {"Z:\\KELMOR\\KELMOR\\VIGNET.DAT", "D:\\VIGNET.DAT"},
         "D:\\",
         "D:\\",
         "D"},
        {"folder layout beats nested",
         {"Z:\\KELMOR\\KELMOR\\VIGNET.DAT", "E:\\KELMOR\\VIGNET.DAT"},
         "E:\\KELMOR",
         "E:\\",
         "E"},
        {"root layout on F", {"F:\\VIGNET.DAT"}, "F:\\", "F:\\", "F"},
        {"marker in other case", {"e:\\kelmor\\vignet.dat"}, "E:\\KELMOR", "E:\\", "E"},
        {"an image beside the programs",
         {"D:\\KELMOR\\KELMOR\\VIGNET.DAT"},
         "D:\\KELMOR\\KELMOR",
         "D:\\",
         "D",
         "C:\\Games\\Kelmor Kit\\Kelmor.cue"},
    };
    for (const Case& c : cases) {
        FakeHost host;
        for (const std::string& marker : c.markers) host.addFile(marker);
        if (!c.image.empty()) host.images[c.letter[0]] = c.image;
        EXPECT_EQ(runGame(host), 0) << c.name;
        std::vector<std::string> cdProbes;
        for (const std::string& p : host.probes)
            if (p.find("VIGNET") != std::string::npos) cdProbes.push_back(p);
        EXPECT_EQ(cdProbes.size(), 69u) << c.name;
        const std::vector<std::string> lines = autoexecLines(host.content(kConf));
        EXPECT_EQ(lines[17], c.image.empty()
                                 ? "MOUNT " + c.letter + " " + c.root + " -t cdrom -usecd 0 -ioctl"
                                 : "IMGMOUNT " + c.letter + " \"" + c.image + "\" -t iso")
            << c.name;
        EXPECT_EQ(lines[20], c.letter + ":") << c.name;
        EXPECT_EQ(lines[21], "CD " + c.folder) << c.name;
    }
}

TEST(GameLaunch, WithoutCdShowsTheMessageAndWritesNothing) {
    const char* const notProbed[] = {"C:\\VIGNET.DAT", "A:\\VIGNET.DAT", "B:\\KELMOR\\VIGNET.DAT",
                                     "E:\\KELMOR\\KELMOR"};
    for (const char* marker : notProbed) {
        FakeHost host;
        host.addFile(marker);
        EXPECT_EQ(runGame(host), 0);
        ASSERT_EQ(host.messages.size(), 1u) << marker;
        EXPECT_EQ(host.messages[0].text, "Please insert Kelmor's CD-ROM and try again.");
        EXPECT_EQ(host.messages[0].title, "Kelmor");
        EXPECT_EQ(host.messages[0].style, MessageStyle::Plain);
        EXPECT_FALSE(host.hasFile(kConf));
        EXPECT_TRUE(host.started.empty());
    }
    FakeHost advising;  // a host with more to say adds it on a line of its own
    advising.cdAdvice = "Or copy its image here.";
    runGame(advising);
    EXPECT_EQ(advising.messages.at(0).text,
              "Please insert Kelmor's CD-ROM and try again.\nOr copy its image here.");
}

TEST(GameLaunch, WritesTheTwentyFourAutoexecLines) {
    FakeHost host;
    host.addFile("E:\\KELMOR\\KELMOR\\VIGNET.DAT");
    runGame(host);
    const std::string conf = host.content(kConf);
    const std::string rendered =
        renderPlaceholders(host, configurationTemplate(TemplateVariant::Game), "kel1");
    EXPECT_EQ(conf.substr(0, rendered.size()), rendered);
    std::vector<std::string> expected{"ECHO ON"};
    for (int i = 0; i < 16; ++i) expected.push_back("ECHO -");
    const std::vector<std::string> rest{"MOUNT E E:\\ -t cdrom -usecd 0 -ioctl",
                                        "MOUNT B \"C:\\Games\\Kelmor\\SAVEGAME\"",
                                        "ECHO ON",
                                        "E:",
                                        "CD E:\\KELMOR\\KELMOR",
                                        "KELMOR.EXE save=B:",
                                        "exit"};
    expected.insert(expected.end(), rest.begin(), rest.end());
    EXPECT_EQ(autoexecLines(conf), expected);
    EXPECT_EQ(conf.substr(conf.size() - 6), "exit\r\n");
    EXPECT_NE(conf.find("\r\n[autoexec]\r\nECHO ON\r\n"), std::string::npos);
}

TEST(GameLaunch, RendersOverTheAppendedLinesToo) {
    FakeHost host;
    host.folder = "C:\\Games\\(output) Kelmor 100%";
    host.setSetting("kel1", "output", "opengl");
    host.setSetting("kel1", "cycles", "");
    host.addFile("E:\\VIGNET.DAT");
    runGame(host);
    const std::vector<std::string> lines =
        autoexecLines(host.content(host.folder + "\\dosbox.conf"));
    // The shell would take a single '%' for the start of a variable.
    EXPECT_EQ(lines[18], "MOUNT B \"C:\\Games\\opengl Kelmor 100%%\\SAVEGAME\"");
    EXPECT_NE(host.content(host.folder + "\\dosbox.conf").find("\r\ncycles=\r\n"),
              std::string::npos);
}

TEST(GameLaunch, StartsDosboxLastAndEnds) {
    FakeHost host;
    host.folder = "C:\\Program Files\\Kelmor";
    host.addFile("E:\\VIGNET.DAT");
    host.addFile("E:\\INTRO.DAT");
    host.addFile(host.folder + "\\KELMOR.INI");
    EXPECT_EQ(runGame(host), 0);
    ASSERT_EQ(host.started.size(), 1u);
    EXPECT_EQ(host.started[0].program, "C:\\Program Files\\Kelmor\\dosbox.exe");
    EXPECT_EQ(host.started[0].arguments, std::vector<std::string>{"-noconsole"});
    EXPECT_FALSE(host.hasFile(host.folder + "\\KELMOR.INI"));
    const std::vector<std::string> expectedOrder{
        "delete C:\\Program Files\\Kelmor\\KELMOR.INI",
        "write C:\\Program Files\\Kelmor\\dosbox.conf",
        "copy E:\\\\INTRO.DAT C:\\Program Files\\Kelmor\\SAVEGAME\\INTRO.DAT",
        "start C:\\Program Files\\Kelmor\\dosbox.exe"};
    EXPECT_EQ(host.log, expectedOrder);
}

TEST(GameLaunch, IntroSettingDecidesDeleteOrCopy) {
    struct Case {
        const char* name;
        std::optional<std::string> intro;
        bool introAlreadySaved;
        std::optional<std::string> expectedSavedIntro;  // content afterwards, or none
    };
    const Case cases[] = {
        {"absent copies", std::nullopt, false, "from cd"},
        {"1 copies", "1", false, "from cd"},
        {"1 keeps an existing file", "1", true, "old"},
        {"absent keeps an existing file", std::nullopt, true, "old"},
        {"0 deletes", "0", true, std::nullopt},
        {"0 copies nothing", "0", false, std::nullopt},
        {"2 leaves it", "2", true, "old"},
        {"2 copies nothing", "2", false, std::nullopt},
        {"empty leaves it", "", true, "old"},
        {"empty copies nothing", "", false, std::nullopt},
        {"true leaves it", "true", true, "old"},
        {"true copies nothing", "true", false, std::nullopt},
        {" 1 is not 1", " 1", false, std::nullopt},
    };
    for (const Case& c : cases) {
        FakeHost host;
        host.addFile("E:\\KELMOR\\VIGNET.DAT");
        host.addFile("E:\\KELMOR\\INTRO.DAT", "from cd");
        if (c.intro) host.setSetting("kel1", "intro", *c.intro);
        if (c.introAlreadySaved) host.addFile(kApp + "\\SAVEGAME\\intro.dat", "old");
        runGame(host);
        if (c.expectedSavedIntro)
            EXPECT_EQ(host.content(kSaveIntro), *c.expectedSavedIntro) << c.name;
        else
            EXPECT_FALSE(host.hasFile(kSaveIntro)) << c.name;
        EXPECT_EQ(host.started.size(), 1u) << c.name;
    }
}

// Every failure unit is dropped on its own: the rest of the sequence runs.
// Only DOSBox's start and the write of its configuration are told, in one
// message, and end with 1: DOSBox never starts on an older configuration.
TEST(GameLaunch, EachFailingUnitSkipsOnlyItself) {
    struct Case {
        const char* name;
        std::string operation, path;
        bool confWritten, introCopied, dosboxStarted;
        int exitCode = 0;
    };
    const Case cases[] = {
        {"KELMOR.INI cannot be deleted", "delete", kApp + "\\KELMOR.INI", true, true, true},
        {"one probe fails", "exist", "D:\\VIGNET.DAT", true, true, true},
        {"dosbox.conf cannot be written", "write", kConf, false, false, false, 1},
        {"intro copy fails", "copy", kSaveIntro, true, false, true},
        {"dosbox cannot start", "start", kApp + "\\dosbox.exe", true, true, false, 1},
    };
    for (const Case& c : cases) {
        FakeHost host;
        host.addFile(kApp + "\\KELMOR.INI");
        host.addFile("D:\\VIGNET.DAT");
        host.addFile("E:\\KELMOR\\VIGNET.DAT");
        host.addFile("E:\\KELMOR\\INTRO.DAT");
        host.addFile("D:\\INTRO.DAT");
        host.failOn(c.operation, c.path);
        EXPECT_EQ(runGame(host), c.exitCode) << c.name;
        EXPECT_EQ(host.hasFile(kConf), c.confWritten) << c.name;
        EXPECT_EQ(host.hasFile(kSaveIntro), c.introCopied) << c.name;
        EXPECT_EQ(host.started.size(), c.dosboxStarted ? 1u : 0u) << c.name;
        EXPECT_EQ(host.messages.size(), c.dosboxStarted ? 0u : 1u) << c.name;
    }
}

// What keeps DOSBox from starting is told in one message titled "Kelmor":
// a configuration that cannot be written, which keeps the older one, or an
// emulator that cannot be started, with what to do in the host's words.
TEST(GameLaunch, WhatKeepsDosboxFromStartingIsToldInOneMessage) {
    struct Case {
        const char* name;
        std::string operation, path;
        int errorNumber;
        std::string text, conf;
    };
    const std::string report = unhandledErrorReport(
        std::system_error(ENOENT, std::generic_category(), kApp + "\\dosbox.exe"));
    const Case cases[] = {
        {"dosbox.conf cannot be written", "write", kConf, EACCES,
         "Kelmor cannot write dosbox.conf, which tells DOSBox how to run the game, so it does not "
         "start DOSBox.\n\n" +
             unhandledErrorReport(std::system_error(EACCES, std::generic_category(), kConf)),
         "older"},
        {"dosbox cannot start", "start", kApp + "\\dosbox.exe", ENOENT,
         "Kelmor cannot start DOSBox, which runs the game.\n\nGet DOSBox. Then start Kelmor "
         "again.\n\n" +
             report,
         ""},
    };
    for (const Case& c : cases) {
        FakeHost host;
        host.addFile("E:\\VIGNET.DAT");
        host.addFile(kConf, "older");
        host.failOn(c.operation, c.path, c.errorNumber);
        EXPECT_EQ(runGame(host), 1) << c.name;
        if (!c.conf.empty()) EXPECT_EQ(host.content(kConf), c.conf) << c.name;
        EXPECT_TRUE(host.started.empty()) << c.name;
        ASSERT_EQ(host.messages.size(), 1u) << c.name;
        EXPECT_EQ(host.messages[0].text, c.text) << c.name;
        EXPECT_EQ(host.messages[0].title, "Kelmor") << c.name;
    }
}

// A cue sheet beside the programs is handed to DOSBox as it will read it:
// where it would refuse the sheet, or play a track wrongly, it gets one
// written beside dosbox.conf, and a remark before the mount says what
// changed; a sheet that serves as it is leaves no such sheet behind.
TEST(GameLaunch, CueSheetBesideTheProgramsIsMountedAsDosboxReadsIt) {
    const std::string image = kApp + "\\Kelmor.cue", sheet = kApp + "\\Kelmor.dosbox.cue";
    const std::string data =
        "FILE \"Kelmor (Track 1).bin\" BINARY\r\n  TRACK 01 MODE1/2048\r\n    INDEX 01 "
        "00:00:00\r\n";
    const std::string audio = "  TRACK 02 AUDIO\r\n    INDEX 01 00:00:00\r\n";
    const std::string missing =
        "FILE \"Kelmor 100% <3>.wav\" WAVE\r\n  TRACK 03 AUDIO\r\n    INDEX 01 00:00:00\r\n";
    const std::string leftOut =
        "REM D: track 3 of " + image +
        " left out: the sheet names `Kelmor 100%% ?3?.wav`, which is not beside it";
    struct Case {
        const char* name;
        std::string sheet;
        std::vector<std::string> remarks;
        std::string mounted;  // what IMGMOUNT names
        std::string after;  // the sheet beside dosbox.conf afterwards: "" none, else its first line
        bool unwritable = false;
    };
    const Case cases[] = {
        {"as it is: the older sheet removed",
         data + "FILE \"Kelmor (Track 2).bin\" BINARY\r\n" + audio,
         {},
         image,
         ""},
        {"a name in another case, which Windows finds as DOSBox does",
         data + "FILE \"KELMOR (TRACK 2).BIN\" BINARY\r\n" + audio,
         {},
         image,
         ""},
        {"a track's file missing: left out",
         data + "FILE \"Kelmor (Track 2).bin\" BINARY\r\n" + audio + missing,
         {leftOut},
         sheet,
         "FILE \"" + kApp + "\\Kelmor (Track 1).bin\" BINARY"},
        {"raw CD audio declared WAVE: BINARY",
         data + "FILE \"Kelmor (Track 2).bin\" WAVE\r\n" + audio,
         {"REM D: track 2 of " + image +
          " is raw CD audio declared WAVE; handed to DOSBox as BINARY"},
         sheet,
         "FILE \"" + kApp + "\\Kelmor (Track 1).bin\" BINARY"},
        {"its sheet cannot be written: the image as it is, and why",
         data + "FILE \"Kelmor (Track 2).bin\" BINARY\r\n" + audio + missing,
         {leftOut,
          "REM D: its sheet as DOSBox can mount it cannot be written: " +
              std::string(std::system_error(EACCES, std::generic_category(), sheet).what())},
         image,
         "older",
         true},
    };
    for (const Case& c : cases) {
        FakeHost host;
        host.addFile("D:\\VIGNET.DAT");
        host.images['D'] = image;
        host.addFile(image, c.sheet);
        host.addFile(kApp + "\\Kelmor (Track 1).bin",
                     testing::IsoWriter().file("VIGNET.DAT;1", "v").bytes());
        host.addFile(kApp + "\\Kelmor (Track 2).bin", testing::audioTrack(10));
        host.addFile(sheet, "older");
        if (c.unwritable) host.failOn("write", sheet);
        EXPECT_EQ(runGame(host), 0) << c.name;
        const std::vector<std::string> lines = autoexecLines(host.content(kConf));
        std::vector<std::string> expected = c.remarks;
        expected.push_back("IMGMOUNT D \"" + c.mounted + "\" -t iso");
        EXPECT_EQ(
            std::vector<std::string>(lines.begin() + 17, lines.begin() + 17 + expected.size()),
            expected)
            << c.name;
        EXPECT_EQ(host.hasFile(sheet) ? splitTextLines(host.content(sheet)).at(0) : "", c.after)
            << c.name;
        if (c.mounted == sheet) {
            EXPECT_EQ(host.content(sheet).find("TRACK 03"), std::string::npos) << c.name;
        }
        EXPECT_EQ(host.content(image), c.sheet) << c.name;
        EXPECT_EQ(host.started.size(), 1u) << c.name;
    }
}

TEST(GameLaunch, IntroDeleteFailureStillCopiesNothing) {
    FakeHost host;
    host.addFile("E:\\VIGNET.DAT");
    host.addFile("E:\\INTRO.DAT", "from cd");
    host.addFile(kSaveIntro, "old");
    host.setSetting("kel1", "intro", "0");
    host.failOn("delete", kSaveIntro);
    runGame(host);
    EXPECT_EQ(host.content(kSaveIntro), "old");
    EXPECT_EQ(host.started.size(), 1u);
}

}  // namespace
}  // namespace kelmor
