// SPDX-License-Identifier: GPL-3.0-or-later
// The drives dialog's logic on the real POSIX host: what each letter holds,
// the launchers' probes, and edits saved into the drive map's other lines.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "drives_tool/drive_letters.hpp"
#include "drives_tool/typed_path.hpp"
#include "tests/support/disc_images.hpp"
#include "tests/support/temp_folder.hpp"

namespace kelmor::drives {
namespace {

TEST(DriveLetters, ShowsEachLetterAndSavesEditsKeepingTheOtherLines) {
    test::TempFolder temp;
    temp.write("game cd/KELMOR/KELMOR/VIGNET.DAT", "");
    temp.write("kit-cd/KIT/KELKIT.EXE", "");
    temp.makeFolder("app");
    temp.write("mounts", "/dev/sr0 " + temp.path("kit-cd") + " iso9660 ro 0 0\n");
    temp.write("config/kelmor/drives.ini", "; mine\n[drives]\ne = \"" + temp.path("game cd") +
                                               "\"\nE=/other\nQ=rel\n[options]\nemulator=/bin/x\n");
    DriveLetters letters({.applicationFolder = temp.path("app"),
                          .configHome = temp.path("config"),
                          .mountsFile = temp.path("mounts")});
    std::vector<std::string> shown;
    for (const LetterState& state : letters.letters()) shown.push_back(describeLetter(state));
    ASSERT_EQ(shown.size(), 23u);
    EXPECT_EQ(shown[0], "D:  mounted disc " + temp.path("kit-cd") + "  (kit CD found)");
    EXPECT_EQ(shown[1], "E:  folder " + temp.path("game cd") + "  (game CD found)");
    EXPECT_EQ(shown[2], "F:  nothing");
    EXPECT_EQ(
        letters.unusableLines(),
        (std::vector<std::string>{"E=/other: E: is named on an earlier line",
                                  "Q=rel: \"rel\" is a relative path; start it with / or ~/"}));

    letters.setDetection(false);
    EXPECT_EQ(describeLetter(letters.letters()[0]), "D:  nothing");
    letters.setDetection(true);
    letters.give('e', temp.path("kit-cd") + " ");
    letters.clear('Q');
    letters.save();
    EXPECT_EQ(temp.read("config/kelmor/drives.ini"),
              "; mine\n[drives]\ne=\"" + temp.path("kit-cd") +
                  " \"\n[options]\nemulator=/bin/x\ndetect=yes\n");
}

// The emulator and the detection are edits like the letters: saved onto the
// drive map as it is then, each option's line changed where it stands.
// A name the line cannot hold as it is changes nothing.
TEST(DriveLetters, SetsTheEmulatorAndTheDetectionAsItSetsLetters) {
    struct Case {
        const char* name;
        std::string before;
        std::function<void(DriveLetters&)> edit;
        std::string saved;  // with "G=/g" written meanwhile by another program
        std::string emulator;
        bool detects;
    };
    const Case cases[] = {
        {"named where it stands", "[options]\n Emulator = /a\ndetect=no\nemulator=/b\n",
         [](DriveLetters& l) { l.setEmulator("/opt/dos box/dosbox"); },
         "[options]\n Emulator =/opt/dos box/dosbox\ndetect=no\nemulator=/b\n[drives]\nG=/g\n",
         "/opt/dos box/dosbox", false},
        {"a name on PATH, [options] added", "; mine\n",
         [](DriveLetters& l) { l.setEmulator("dosbox-x"); },
         "; mine\n[drives]\nG=/g\n\n[options]\nemulator=dosbox-x\n", "dosbox-x", true},
        {"empty: every line of it goes", "[options]\nemulator=/a\nemulator=/b\n",
         [](DriveLetters& l) { l.setEmulator(""); }, "[options]\n[drives]\nG=/g\n", "", true},
        {"detection on where it was off", "[options]\ndetect = OFF\n",
         [](DriveLetters& l) { l.setDetection(true); }, "[options]\ndetect =yes\n[drives]\nG=/g\n",
         "", true},
        {"detection off", "", [](DriveLetters& l) { l.setDetection(false); },
         "[drives]\nG=/g\n\n[options]\ndetect=no\n", "", false},
    };
    for (const Case& c : cases) {
        test::TempFolder temp;
        temp.write("config/kelmor/drives.ini", c.before);
        DriveLetters letters({.configHome = temp.path("config")});
        c.edit(letters);
        EXPECT_EQ(letters.emulator(), c.emulator) << c.name;
        EXPECT_EQ(letters.detects(), c.detects) << c.name;
        temp.write("config/kelmor/drives.ini", c.before + "[drives]\nG=/g\n");
        letters.save();
        EXPECT_EQ(temp.read("config/kelmor/drives.ini"), c.saved) << c.name;
    }
    for (const std::string refused : {"/opt/dosbox\n-x", "/opt/dosbox ", "\t/opt/dosbox"}) {
        test::TempFolder temp;
        temp.write("config/kelmor/drives.ini", "[options]\nemulator=/a\n");
        DriveLetters letters({.configHome = temp.path("config")});
        EXPECT_THROW(letters.setEmulator(refused), std::system_error) << refused;
        EXPECT_EQ(letters.emulator(), "/a") << refused;
        letters.save();
        EXPECT_EQ(temp.read("config/kelmor/drives.ini"), "[options]\nemulator=/a\n") << refused;
    }
}

// A path typed behind the folder a chooser's box shows is taken as typed.
TEST(DriveLetters, TypedPathIsTheAbsolutePathTypedBehindTheFolder) {
    const std::pair<const char*, const char*> rows[] = {
        {"/home/ann/cds/kelmor.iso", "/home/ann/cds/kelmor.iso"},
        {"/home/ann/cds//media/cd/x.iso", "/media/cd/x.iso"},
        {"/home/ann//tmp//x.iso", "/x.iso"},
        {"/home/ann/cds//", "/"},
        {"/home/ann/cds///media", "/media"},
        {"kelmor.iso", "kelmor.iso"},
        {"", ""},
    };
    for (const auto& [box, path] : rows) EXPECT_EQ(typedPath(box), path) << box;
}

// Each image says what it holds as DOSBox will read it: a rip made on
// Windows that names its files in another letter case is the game CD, and
// a sheet copied without its data file holds no disc, with why.
TEST(DriveLetters, EachImageSaysWhatItHoldsOrWhyNothing) {
    test::TempFolder temp;
    temp.write("cd/KELMOR/VIGNET.DAT", "marker");
    testing::makeIso(temp.path("cd"), temp.path("cds/game.iso"));
    temp.write("cds/rip/kelmor (track 1).bin", testing::fileBytes(temp.path("cds/game.iso")));
    temp.write("cds/rip/Kelmor.cue",
               "FILE \"Kelmor (Track 1).bin\" BINARY\r\n  TRACK 01 MODE1/2048\r\n"
               "FILE \"Kelmor (Track 2).bin\" BINARY\r\n  TRACK 02 AUDIO\r\n");
    temp.write("cds/alone/Kelmor.cue", "FILE \"Kelmor.bin\" BINARY\r\n  TRACK 01 MODE1/2048\r\n");
    temp.write("config/kelmor/drives.ini",
               "[options]\ndetect=no\n[drives]\nE=" + temp.path("cds/game.iso") +
                   "\nF=" + temp.path("cds/rip/Kelmor.cue") +
                   "\nG=" + temp.path("cds/alone/Kelmor.cue") + "\n");
    const auto states = DriveLetters({.configHome = temp.path("config")}).letters();
    const std::vector<std::pair<std::string, std::string>> expected{
        {"E:  image " + temp.path("cds/game.iso") + "  (game CD found)  (no CD audio)",
         "E:  no CD audio: an .iso holds none, the game runs without its music tracks"},
        {"F:  image " + temp.path("cds/rip/Kelmor.cue") +
             "  (game CD found)  (no CD audio, tracks left out)",
         "F:  no CD audio; track 2 left out: the sheet names `Kelmor (Track 2).bin`, which is not "
         "beside it"},
        {"G:  image " + temp.path("cds/alone/Kelmor.cue") + "  (holds no disc)",
         "G:  holds no disc: the sheet names `Kelmor.bin`, which is not beside it"},
    };
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(describeLetter(states[i + 1]), expected[i].first);
        EXPECT_EQ(describeImage(states[i + 1]), expected[i].second);
    }
    EXPECT_EQ(describeImage(states[0]), "");
}

// A folder one level off a CD, the CD's own folder KIT given or the folder
// above the CD's files, says which folder to give; two levels off, or a
// folder the probes find, says nothing. The game's probes find its folder
// KELMOR given itself.
TEST(DriveLetters, AFolderOneLevelOffSaysWhichFolderToGive) {
    struct Case {
        const char* name;
        std::vector<const char*> files;
        const char* given;
        std::string line;     // behind "E:  folder <given>"
        std::string details;  // "<folder>" stands for the temporary folder
    };
    const Case cases[] = {
        {"the kit CD's folder KIT itself",
         {"kelplix/kit/KELKIT.EXE"},
         "kelplix/kit",
         "  (kit CD one folder up)",
         "E:  no CD here: this is the kit CD's folder KIT; give the folder above it, "
         "<folder>/kelplix"},
        {"the folder above the kit CD",
         {"cds/kelplix/KIT/KELKIT.EXE", "cds/a/x"},
         "cds",
         "  (kit CD one folder down)",
         "E:  no CD here: the kit CD's KIT\\KELKIT.EXE is in its folder kelplix; give that folder, "
         "<folder>/cds/kelplix"},
        {"a folder within the kit CD",
         {"kelplix/KIT/KELKIT.EXE", "kelplix/DATA/x"},
         "kelplix/DATA",
         "  (kit CD one folder up)",
         "E:  no CD here: the kit CD's KIT\\KELKIT.EXE is in the folder above; give that folder, "
         "<folder>/kelplix"},
        {"both CDs one folder down",
         {"cds/Kelmor CD/KELMOR/VIGNET.DAT", "cds/kelplix/KIT/KELKIT.EXE"},
         "cds",
         "  (game CD one folder down)  (kit CD one folder down)",
         "E:  no CD here: the game CD's KELMOR\\VIGNET.DAT is in its folder Kelmor CD; give that "
         "folder, "
         "<folder>/cds/Kelmor CD\n"
         "E:  no CD here: the kit CD's KIT\\KELKIT.EXE is in its folder kelplix; give that folder, "
         "<folder>/cds/kelplix"},
        {"two levels down", {"a/b/kelplix/KIT/KELKIT.EXE"}, "a", "", ""},
        {"two levels up", {"kelplix/KIT/KELKIT.EXE", "kelplix/KIT/x/y"}, "kelplix/KIT/x", "", ""},
        {"the game CD's folder KELMOR, which its probes find",
         {"cd/KELMOR/VIGNET.DAT"},
         "cd/KELMOR",
         "  (game CD found)",
         ""},
    };
    for (const Case& c : cases) {
        test::TempFolder temp;
        for (const char* file : c.files) temp.write(file, "");
        temp.write("config/kelmor/drives.ini",
                   "[options]\ndetect=no\n[drives]\nE=" + temp.path(c.given) + "\n");
        const LetterState state = DriveLetters({.configHome = temp.path("config")}).letters()[1];
        std::string details = c.details;
        for (std::size_t at; (at = details.find("<folder>")) != std::string::npos;)
            details.replace(at, 8, temp.path());
        EXPECT_EQ(describeLetter(state), "E:  folder " + temp.path(c.given) + c.line) << c.name;
        EXPECT_EQ(describeNearbyCds(state), details) << c.name;
    }
}

// Only edits that change what the drive map says are unsaved: one undone,
// or a letter given what it had, is none; a save leaves none.
TEST(DriveLetters, TellsWhetherItsEditsChangeTheDriveMap) {
    struct Case {
        const char* name;
        std::function<void(DriveLetters&)> edit;
        bool unsaved;
    };
    const Case cases[] = {
        {"none", [](DriveLetters&) {}, false},
        {"a letter given", [](DriveLetters& l) { l.give('F', "/f"); }, true},
        {"a letter cleared", [](DriveLetters& l) { l.clear('E'); }, true},
        {"a letter given what it had", [](DriveLetters& l) { l.give('e', "/e"); }, false},
        {"a letter given, then cleared",
         [](DriveLetters& l) {
             l.give('F', "/f");
             l.clear('F');
         },
         false},
        {"the emulator named", [](DriveLetters& l) { l.setEmulator("dosbox"); }, true},
        {"detection switched off and on",
         [](DriveLetters& l) {
             l.setDetection(false);
             l.setDetection(true);
         },
         false},
    };
    for (const Case& c : cases) {
        test::TempFolder temp;
        temp.write("config/kelmor/drives.ini", "[drives]\nE=/e\n");
        DriveLetters letters({.configHome = temp.path("config")});
        c.edit(letters);
        EXPECT_EQ(letters.unsaved(), c.unsaved) << c.name;
        letters.save();
        EXPECT_FALSE(letters.unsaved()) << c.name;
    }
}

// A drive map that is there but cannot be read is never replaced by the
// dialog's text, which never held its lines; the edits wait for a save
// that can read it.
TEST(DriveLetters, ADriveMapThatCannotBeReadIsNotSavedOver) {
    test::TempFolder temp;
    const std::string file = temp.sparse("config/kelmor/drives.ini", std::uintmax_t{64} << 30);
    DriveLetters letters({.configHome = temp.path("config")});
    letters.give('E', temp.path("cd"));
    EXPECT_THROW(letters.save(), std::system_error);
    EXPECT_EQ(std::filesystem::file_size(file), std::uintmax_t{64} << 30);
    temp.write("config/kelmor/drives.ini", "; readable again\n");
    letters.save();
    EXPECT_EQ(temp.read("config/kelmor/drives.ini"),
              "; readable again\n\n[drives]\nE=" + temp.path("cd") + "\n");
}

// Saving applies the dialog's own changes to the drive map as it is then:
// what another program wrote meanwhile stays, and where it changed a letter
// the dialog changed too, the dialog's change wins. A save applies them once.
TEST(DriveLetters, SavingAppliesTheEditsToTheDriveMapAsItIsThen) {
    struct Case {
        const char* name;
        std::optional<std::string> meanwhile;  // none: the file removed
        std::string saved;
    };
    const Case cases[] = {
        {"a letter, the emulator and a comment added",
         "[drives]\nE=/e\nG=/g\nF=/f\n; theirs\n[options]\nemulator=/b\n",
         "[drives]\nG=/g\nF=/f\n; theirs\nH=/h\n[options]\nemulator=/b\n"},
        {"the same letters changed", "[drives]\nE=/theirs\nH=/theirs\n[options]\nemulator=/a\n",
         "[drives]\nH=/h\n[options]\nemulator=/a\n"},
        {"the file removed", std::nullopt, "[drives]\nH=/h\n"},
    };
    for (const Case& c : cases) {
        test::TempFolder temp;
        const std::string file = temp.write("config/kelmor/drives.ini",
                                            "[drives]\nE=/e\nG=/g\n[options]\nemulator=/a\n");
        DriveLetters letters({.configHome = temp.path("config")});
        letters.clear('E');
        letters.give('H', "/h");
        if (c.meanwhile)
            temp.write("config/kelmor/drives.ini", *c.meanwhile);
        else
            std::filesystem::remove(file);
        letters.save();
        EXPECT_EQ(temp.read("config/kelmor/drives.ini"), c.saved) << c.name;
        EXPECT_EQ(letters.text(), c.saved) << c.name;
        temp.write("config/kelmor/drives.ini", "[drives]\nE=/later\n");
        letters.save();
        EXPECT_EQ(temp.read("config/kelmor/drives.ini"), "[drives]\nE=/later\n") << c.name;
    }
}

// Another writer that holds the configuration folder's lock finishes first;
// the save reads what it wrote.
TEST(DriveLetters, SavingWaitsForTheConfigurationFoldersLock) {
    test::TempFolder temp;
    temp.write("config/kelmor/drives.ini", "[drives]\n");
    const int lock =
        open(temp.path("config/kelmor/.settings.lock").c_str(), O_RDWR | O_CREAT, 0600);
    ASSERT_EQ(flock(lock, LOCK_EX), 0);
    DriveLetters letters({.configHome = temp.path("config")});
    letters.give('E', "/e");
    std::thread save([&] { letters.save(); });
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    temp.write("config/kelmor/drives.ini", "[drives]\nF=/f\n");
    close(lock);
    save.join();
    EXPECT_EQ(temp.read("config/kelmor/drives.ini"), "[drives]\nF=/f\nE=/e\n");
}

}  // namespace
}  // namespace kelmor::drives
