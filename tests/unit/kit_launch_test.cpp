// SPDX-License-Identifier: GPL-3.0-or-later
#include "kit_launcher/kit_launch.hpp"

#include <gtest/gtest.h>

#include <set>

#include "core/dosbox_config.hpp"
#include "core/installation_marker.hpp"
#include "core/program_identity.hpp"
#include "core/unhandled_error.hpp"
#include "kit_launcher/kit_manifest.hpp"
#include "tests/support/fake_host.hpp"
#include "tests/support/iso_images.hpp"

namespace kelmor {
namespace {

using testing::FakeHost;

const std::string kApp = "C:\\Games\\Kit";
const std::string kConf = kApp + "\\dosbox.conf";
const std::string kDosbox = kApp + "\\dosbox.exe";
const std::string kMapEditor = kApp + "\\MAPPER.EXE";
const std::string kVendorIni = kApp + "\\vantrel\\vtr.ini";
const std::string kMarker = kApp + "\\THEST.FUJ";
const std::set<std::string> kAllLanguages{"AL", "FR", "USA"};

// True when a manifest source belongs to one of the language folders or is
// a language file, and names the language.
bool ofLanguage(const std::string& source, const std::string& language) {
    return source.rfind(language + "\\", 0) == 0 ||
           source.rfind("PCMAP\\" + language + "\\", 0) == 0 ||
           source == "DATA\\" + language + ".BIN";
}

// A kit CD holding every file of the manifest for the given languages; each
// file's content names its place on the CD.
void addKitCd(FakeHost& host, const std::string& folder = "E:\\KIT",
              const std::set<std::string>& languages = kAllLanguages) {
    host.addFile(folder + "\\KELKIT.EXE", "cd:KELKIT.EXE");
    for (const KitCopy& copy : kitCopyList()) {
        bool wanted = true;
        for (const char* language : {"AL", "FR", "USA"})
            if (ofLanguage(copy.source, language) && !languages.count(language)) wanted = false;
        if (wanted) host.addFile(folder + "\\" + copy.source, "cd:" + copy.source);
    }
}

FakeHost kitHost(const std::string& arguments = "") {
    FakeHost host;
    host.folder = kApp;
    host.arguments = arguments;
    host.addFile(kApp + "\\TEST.FUJ", "KELPLIX\r\n");
    return host;
}

// Runs the sequence as the program's tick does and returns the exit code.
int runKit(FakeHost& host, KitLauncher& launcher) {
    return testing::exitCodeOf([&] {
        runReportingUnhandledErrors(host, kKitLauncherIdentity.title,
                                    [&] { launcher.LaunchKit(); });
    });
}

int runKit(FakeHost& host) {
    KitLauncher launcher(host);
    return runKit(host, launcher);
}

std::size_t countLog(const FakeHost& host, const std::string& prefix) {
    std::size_t n = 0;
    for (const std::string& entry : host.log) n += entry.rfind(prefix, 0) == 0;
    return n;
}

TEST(KitCdDetection, ProbesDToZAndTheLastHitWins) {
    struct Case {
        const char* name;
        std::vector<std::string> kits;
        std::string folder, root, letter;
        std::string image = "";  // the disc image beside the programs that has the letter F
        std::string mount = "";  // its mount, where it is one
    };
    const std::string sheet = kApp + "\\Kelmor Plix.cue";
    const Case cases[] = {
        {"E only", {"E:\\KIT"}, "E:\\KIT", "E:\\", "E"},
        {"E and G", {"E:\\KIT", "G:\\KIT"}, "G:\\KIT", "G:\\", "G"},
        {"D, the first letter", {"D:\\KIT"}, "D:\\KIT", "D:\\", "D"},
        {"Z, the last letter", {"Z:\\KIT", "D:\\KIT"}, "Z:\\KIT", "Z:\\", "Z"},
        {"an image beside the programs on F",
         {"F:\\KIT"},
         "F:\\KIT",
         "F:\\",
         "F",
         kApp + "\\Kelmor Plix.iso",
         "imgmount F \"" + kApp + "\\Kelmor Plix.iso\" -t iso"},
        {"a sheet without its audio track's file: the kit's sheet, with a remark",
         {"F:\\KIT"},
         "F:\\KIT",
         "F:\\",
         "F",
         sheet,
         "rem F: track 2 of " + sheet +
             " left out: the sheet names `Track 2.wav`, which is not beside it\r\n"
             "imgmount F \"" +
             kApp + "\\Kelmor Plix.dosbox.cue\" -t iso"},
    };
    std::vector<std::string> expectedProbes;
    for (char letter = 'D'; letter <= 'Z'; ++letter)
        expectedProbes.push_back(std::string{letter} + ":\\KIT\\KELKIT.EXE");
    for (const Case& c : cases) {
        FakeHost host = kitHost();
        for (const std::string& kit : c.kits) host.addFile(kit + "\\KELKIT.EXE");
        if (!c.image.empty()) host.images['F'] = c.image;
        if (c.image == sheet)
            host.addFile(sheet,
                         "FILE Track1.iso BINARY\n TRACK 1 MODE1/2048\nFILE \"Track 2.wav\" WAVE\n "
                         "TRACK 2 AUDIO\n");
        if (c.image == sheet)
            host.addFile(kApp + "\\Track1.iso", testing::IsoWriter().file("KIT;1", "").bytes());
        KitLauncher launcher(host);
        EXPECT_EQ(runKit(host, launcher), 0) << c.name;
        EXPECT_EQ(launcher.CdFolder(), c.folder) << c.name;
        EXPECT_EQ(launcher.CdRoot(), c.root) << c.name;
        EXPECT_EQ(launcher.CdLetter(), c.letter) << c.name;
        const std::vector<std::string> cdProbes(host.probes.begin(), host.probes.begin() + 23);
        EXPECT_EQ(cdProbes, expectedProbes) << c.name;
        EXPECT_TRUE(host.messages.empty()) << c.name;
        const std::string mount =
            !c.image.empty() ? c.mount : "mount " + c.letter + " " + c.root + " -t cdrom -ioctl";
        EXPECT_NE(host.content(host.folder + "\\dosbox.conf").find("\r\n" + mount + "\r\n"),
                  std::string::npos)
            << c.name;
    }
}

TEST(KitCdDetection, WithoutKitCdShowsTheMessageAndTouchesNothing) {
    const char* const notKits[] = {"C:\\KIT\\KELKIT.EXE", "A:\\KIT\\KELKIT.EXE",
                                   "B:\\KIT\\KELKIT.EXE", "E:\\KIT\\OTHER.EXE",
                                   "E:\\KELKIT.EXE",      "E:\\KIT\\KELKIT\\KELKIT.EXE"};
    for (const char* file : notKits) {
        FakeHost host = kitHost("mapper");
        host.addFile(file);
        EXPECT_EQ(runKit(host), 0) << file;
        ASSERT_EQ(host.messages.size(), 1u) << file;
        EXPECT_EQ(host.messages[0].text,
                  "Please insert Kelmor Plix CD-ROM and restart application.");
        EXPECT_EQ(host.messages[0].title, "Kelmor");
        EXPECT_EQ(host.messages[0].style, MessageStyle::Warning);
        EXPECT_TRUE(host.log.empty()) << file << ": " << host.log.front();
    }
    FakeHost advising = kitHost("mapper");  // a host with more to say adds it on a line of its own
    advising.cdAdvice = "Or copy its image here.";
    runKit(advising);
    EXPECT_EQ(advising.messages.at(0).text,
              "Please insert Kelmor Plix CD-ROM and restart application.\nOr copy its image here.");
}

TEST(KitInstallation, CopiesTheManifestInOrderThenTheMarker) {
    FakeHost host = kitHost();
    addKitCd(host);
    host.addFile(kApp + "\\KELKIT.EXE", "older");
    EXPECT_EQ(runKit(host), 0);

    std::vector<std::string> expected{"write " + kVendorIni};
    for (const KitCopy& copy : kitCopyList())
        expected.push_back("copy E:\\KIT\\" + copy.source + " " + kApp + "\\" + copy.destination);
    expected.push_back("flush " + kApp);
    expected.push_back("copy " + kApp + "\\TEST.FUJ " + kMarker);
    expected.push_back("write " + kConf);
    expected.push_back("start " + kDosbox);
    EXPECT_EQ(host.log, expected);

    for (const KitCopy& copy : kitCopyList()) {
        const std::string source =
            copy.destination == "MAPPER.EXE" ? "USA\\MAPPER.EXE" : copy.source;
        EXPECT_EQ(host.content(kApp + "\\" + copy.destination), "cd:" + source);
    }
    EXPECT_TRUE(kitIsInstalled(host));
}

TEST(KitInstallation, LanguageFoldersOfTheCd) {
    struct Case {
        const char* name;
        std::set<std::string> languages;
        std::string mapEditorFrom;
        std::string code;
    };
    const Case cases[] = {
        {"all three", kAllLanguages, "USA", "usa"},
        {"AL and FR", {"AL", "FR"}, "AL", "fr"},
        {"FR only", {"FR"}, "FR", "fr"},
        {"AL only", {"AL"}, "AL", "al"},
    };
    for (const Case& c : cases) {
        FakeHost host = kitHost();
        addKitCd(host, "F:\\KIT", c.languages);
        KitLauncher launcher(host);
        EXPECT_EQ(runKit(host, launcher), 0) << c.name;
        EXPECT_EQ(host.content(kMapEditor), "cd:" + c.mapEditorFrom + "\\MAPPER.EXE") << c.name;
        EXPECT_EQ(launcher.LanguageCode(), c.code) << c.name;
        for (const char* language : {"AL", "FR", "USA"}) {
            const bool present = c.languages.count(language) != 0;
            EXPECT_EQ(host.hasFile(kApp + "\\PCMAP\\" + language + "\\SPECIAL.DAT"), present)
                << c.name << " " << language;
        }
        EXPECT_TRUE(kitIsInstalled(host)) << c.name;
        EXPECT_TRUE(host.messages.empty()) << c.name;
    }
}

TEST(KitInstallation, VendorIniIsReplacedWholeByTheTenLines) {
    FakeHost host = kitHost();
    host.folder = "C:\\Program Files\\Kelmor Plix";
    host.addFile(host.folder + "\\TEST.FUJ", "KELPLIX");
    host.addFile(host.folder + "\\vantrel\\vtr.ini", std::string(500, 'x'));
    addKitCd(host);
    runKit(host);
    EXPECT_EQ(host.content(host.folder + "\\vantrel\\vtr.ini"),
              "[OSD]\r\n"
              "Directory=C:\\Program Files\\Kelmor Plix\\vantrel\\osd\r\n"
              "Valid=TRUE\r\n"
              "\r\n"
              "[INSTALLED PRODUCTS]\r\n"
              "KELKIT\r\n"
              "\r\n"
              "[KELKIT]\r\n"
              "SrcDataPath=\\\r\n"
              "Directory=C:\\Program Files\\Kelmor Plix\\\r\n");
}

// A file that is not on the CD is dropped on its own, as the marker's copy
// and the flush are; any other failure of the installation ends it there:
// no marker, one message that says what failed and what to do, nothing
// started, in mapper mode too.
TEST(KitInstallation, OnlyAFileNotOnTheCdIsDroppedOtherFailuresEndTheInstallation) {
    const std::string unfinished = "The kit could not be installed: ";
    const std::string cd = unfinished +
                           "its CD cannot be read.\nClean the CD, or give the whole "
                           "of its image, and keep it in its drive; then start the kit again.\n";
    const std::string full = unfinished +
                             "the disk that holds C:\\Games\\Kit is full.\nFree "
                             "space on it, then start the kit again.\n";
    const std::string common = kApp + "\\PCMAP\\COMMON.DAT";
    struct Case {
        const char* name;
        std::string operation, path;
        int errorNumber;
        std::string untouched;  // where the failure is dropped: the one destination left unwritten
        std::string message;    // otherwise: what the player is told
        std::string arguments = "";
    };
    const Case cases[] = {
        {"source missing on the CD", "read", "E:\\KIT\\DATA\\SOUND.BIN", ENOENT,
         kApp + "\\DATA\\SOUND.BIN", ""},
        {"TEST.FUJ missing", "read", kApp + "\\TEST.FUJ", ENOENT, kMarker, ""},
        {"installed files not flushed to disk", "flush", kApp, EIO, kMarker, ""},
        {"source unreadable", "read", "E:\\KIT\\KELKIT.EXE", EIO, "",
         cd + "Error 5: Input/output error (E:\\KIT\\KELKIT.EXE)"},
        {"disk full, mapper mode", "copy", common, ENOSPC, "",
         full + "Error 28: No space left on device (" + common + ")", "mapper"},
        {"destination not replaceable", "copy", common, EACCES, "",
         unfinished + "Error 13: Permission denied (" + common +
             ").\nPut that right, then start the kit again."},
        {"vantrel folder missing", "write", kVendorIni, ENOENT, "",
         unfinished + "Error 2: No such file or directory (" + kVendorIni +
             ").\nPut that right, then start the kit again."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeHost host = kitHost(c.arguments);
        addKitCd(host);
        host.failOn(c.operation, c.path, c.errorNumber);
        const int exitCode = runKit(host);
        std::size_t installed = 0;
        for (const KitCopy& copy : kitCopyList())
            installed += host.hasFile(kApp + "\\" + copy.destination);
        if (c.message.empty()) {
            EXPECT_EQ(exitCode, 0);
            EXPECT_FALSE(host.hasFile(c.untouched));
            EXPECT_EQ(installed,
                      c.untouched == kMarker ? 218u : 217u);  // copies, three onto MAPPER.EXE
            EXPECT_EQ(host.hasFile(kMarker), c.untouched != kMarker);
            EXPECT_TRUE(host.messages.empty());
            EXPECT_EQ(host.started.size(), 1u);
            continue;
        }
        EXPECT_EQ(exitCode, kUnfinishedInstallExitCode);
        ASSERT_EQ(host.messages.size(), 1u);
        EXPECT_EQ(host.messages[0].text, c.message);
        EXPECT_EQ(host.messages[0].title, "Kelmor Plix Launcher");
        EXPECT_EQ(host.messages[0].style, MessageStyle::Warning);
        EXPECT_NE(host.log.back().find(c.path), std::string::npos)
            << "ends at the failure: " << host.log.back();
        EXPECT_FALSE(host.hasFile(kMarker));
        EXPECT_TRUE(host.started.empty());
    }
}

TEST(KitLaunch, LanguageIsTheLastLanguageFileOfTheApplicationFolder) {
    struct Case {
        std::vector<std::string> files;
        std::string code;
    };
    const Case cases[] = {
        {{}, ""},
        {{"AL"}, "al"},
        {{"FR"}, "fr"},
        {{"USA"}, "usa"},
        {{"AL", "FR"}, "fr"},
        {{"AL", "USA"}, "usa"},
        {{"FR", "USA"}, "usa"},
        {{"AL", "FR", "USA"}, "usa"},
    };
    for (const Case& c : cases) {
        FakeHost host = kitHost();
        host.addFile(kMarker, "KELPLIX");
        host.addFile("E:\\KIT\\KELKIT.EXE");
        host.addFile("E:\\KIT\\DATA\\USA.BIN");  // the CD's own files are not probed
        for (const std::string& language : c.files)
            host.addFile(kApp + "\\DATA\\" + language + ".BIN");
        KitLauncher launcher(host);
        runKit(host, launcher);
        EXPECT_EQ(launcher.LanguageCode(), c.code);
        const std::string line = "\r\nKELKIT.EXE ver=" + c.code + "\r\nexit\r\n";
        const std::string conf = host.content(kConf);
        EXPECT_EQ(conf.substr(conf.size() - line.size()), line);
    }
}

// The template alone is rendered: a placeholder token in the application
// folder's name reaches the autoexec lines as it is, and its '%' doubled for
// the emulator's shell.
TEST(KitLaunch, WritesTheRenderedTemplateAndTheAutoexecLines) {
    FakeHost host = kitHost();
    host.folder = "C:\\Program Files\\Kelmor (output) 100% Plix";
    host.addFile(host.folder + "\\THEST.FUJ", "KELPLIX\r\n");
    host.addFile(host.folder + "\\DATA\\USA.BIN");
    host.addFile("G:\\KIT\\KELKIT.EXE");
    host.setSetting("kelkit", "fullscreen", "false");
    host.setSetting("kelkit", "fullfixed", "false");
    host.setSetting("kelkit", "output", "opengl");
    host.setSetting("kelkit", "cycles", "30000");
    EXPECT_EQ(runKit(host), 0);

    std::string expected = configurationTemplate(TemplateVariant::Kit);
    for (const char* pair :
         {"(cycles)|30000", "(fullscreen)|false", "(fullfixed)|false", "(output)|opengl"}) {
        const std::string_view p(pair);
        expected = replaceAll(expected, p.substr(0, p.find('|')), p.substr(p.find('|') + 1));
    }
    expected +=
        "\r\ncls\r\n"
        "mount G G:\\ -t cdrom -ioctl\r\n"
        "mount B \"C:\\Program Files\\Kelmor (output) 100%% Plix\"\r\n"
        "B:\r\n"
        "KELKIT.EXE ver=usa\r\n"
        "exit\r\n";
    EXPECT_EQ(host.content(host.folder + "\\dosbox.conf"), expected);
    ASSERT_EQ(host.started.size(), 1u);
    EXPECT_EQ(host.started[0].program, "C:\\Program Files\\Kelmor (output) 100% Plix\\dosbox.exe");
    EXPECT_EQ(host.started[0].arguments, std::vector<std::string>{"-noconsole"});
}

TEST(KitLaunch, MapperModeOnlyOnAnInstallationRunWithExactlyMapper) {
    struct Case {
        const char* name;
        bool installed;
        std::string arguments;
        bool opensMapEditor;
    };
    const Case cases[] = {
        {"installed, mapper", true, "mapper", false},
        {"installation run, mapper", false, "mapper", true},
        {"installation run, MAPPER", false, "MAPPER", false},
        {"installation run, mapper with more", false, "mapper x", false},
        {"installation run, nothing", false, "", false},
        {"installed, nothing", true, "", false},
    };
    for (const Case& c : cases) {
        FakeHost host = kitHost(c.arguments);
        addKitCd(host);
        host.addFile("E:\\KIT\\USA\\MAPPER.EXE", testing::mzProgram());  // a DOS program
        if (c.installed) host.addFile(kMarker, "KELPLIX\r\n");
        EXPECT_EQ(runKit(host), 0) << c.name;
        ASSERT_EQ(host.started.size(), 1u) << c.name;
        EXPECT_EQ(host.started[0].program, kDosbox) << c.name;
        // The map editor runs in the emulator with a configuration of its own.
        const std::vector<std::string> arguments =
            c.opensMapEditor ? std::vector<std::string>{"-noconsole", "-conf", "mapeditor.conf"}
                             : std::vector<std::string>{"-noconsole"};
        EXPECT_EQ(host.started[0].arguments, arguments) << c.name;
        EXPECT_EQ(host.hasFile(kConf), !c.opensMapEditor) << c.name;
        EXPECT_EQ(host.hasFile(kApp + "\\mapeditor.conf"), c.opensMapEditor) << c.name;
        EXPECT_EQ(countLog(host, "copy "), c.installed ? 0u : 219u) << c.name;
        EXPECT_TRUE(kitIsInstalled(host)) << c.name;
    }
}

// The installation stays; the user is told that the map editor did not open.
TEST(KitLaunch, MapEditorThatCannotStartIsToldInTheLaunchersName) {
    FakeHost host = kitHost("mapper");
    addKitCd(host);
    host.addFile("E:\\KIT\\USA\\MAPPER.EXE", testing::mzProgram("NE"));  // a Windows program
    host.failOn("start", kMapEditor, ENOENT);
    EXPECT_EQ(runKit(host), 1);
    EXPECT_TRUE(host.started.empty());
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].title, "Kelmor Plix Launcher");
    EXPECT_FALSE(host.hasFile(kConf));
    EXPECT_TRUE(kitIsInstalled(host));
}

// After the installation only the emulator's start is trapped, and told as
// what to do in the host's words; any other failure ends the process with
// its report, and nothing behind the failing step runs.
TEST(KitLaunch, FailureAfterTheInstallationEndsWithOneMessage) {
    struct Case {
        const char* name;
        std::string operation, path;
        int errorNumber;
        std::string text;
        MessageStyle style;
        std::string lastLogEntry;
    };
    const Case cases[] = {
        {"dosbox.conf not writable", "write", kConf, EACCES,
         "Error 13: Permission denied (C:\\Games\\Kit\\dosbox.conf)", MessageStyle::Critical,
         "write " + kConf},
        {"no dosbox.exe", "start", kDosbox, ENOENT,
         "Kelmor Plix cannot start DOSBox, which runs the kit.\n\nGet DOSBox. Then start Kelmor "
         "Plix again.\n\n"
         "Error 2: No such file or directory (C:\\Games\\Kit\\dosbox.exe)",
         MessageStyle::Warning, "start " + kDosbox},
    };
    for (const Case& c : cases) {
        FakeHost host = kitHost();
        addKitCd(host);
        host.addFile(kConf, "older");
        host.failOn(c.operation, c.path, c.errorNumber);
        EXPECT_EQ(runKit(host), 1) << c.name;
        ASSERT_EQ(host.messages.size(), 1u) << c.name;
        EXPECT_EQ(host.messages[0].text, c.text) << c.name;
        EXPECT_EQ(host.messages[0].title, "Kelmor Plix Launcher") << c.name;
        EXPECT_EQ(host.messages[0].style, c.style) << c.name;
        EXPECT_TRUE(host.started.empty()) << c.name;
        EXPECT_EQ(host.log.back(), c.lastLogEntry) << c.name;
        EXPECT_TRUE(kitIsInstalled(host)) << c.name;
    }
}

}  // namespace
}  // namespace kelmor
