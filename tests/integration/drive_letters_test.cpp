// The drives dialog's logic on the real POSIX host: what each letter holds,
// the launchers' probes, and edits saved into the drive map's other lines.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "drives_tool/drive_letters.hpp"
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
    DriveLetters letters({.applicationFolder = temp.path("app"), .configHome = temp.path("config"),
                          .mountsFile = temp.path("mounts")});
    std::vector<std::string> shown;
    for (const LetterState& state : letters.letters()) shown.push_back(describeLetter(state));
    ASSERT_EQ(shown.size(), 23u);
    EXPECT_EQ(shown[0], "D:  mounted disc " + temp.path("kit-cd") + "  (kit CD found)");
    EXPECT_EQ(shown[1], "E:  folder " + temp.path("game cd") + "  (game CD found)");
    EXPECT_EQ(shown[2], "F:  nothing");
    EXPECT_EQ(letters.unusableLines(),
              (std::vector<std::string>{"E=/other: E: is named on an earlier line",
                                        "Q=rel: \"rel\" is a relative path; start it with / or ~/"}));

    letters.give('e', temp.path("kit-cd") + " ");
    letters.clear('Q');
    letters.save();
    EXPECT_EQ(temp.read("config/kelmor/drives.ini"),
              "; mine\n[drives]\ne=\"" + temp.path("kit-cd") + " \"\n[options]\nemulator=/bin/x\n");
}

// A drive map that is there but cannot be read is never replaced by the
// dialog's text, which never held its lines.
TEST(DriveLetters, ADriveMapThatCannotBeReadIsNotSavedOver) {
    test::TempFolder temp;
    const std::string file = temp.sparse("config/kelmor/drives.ini", std::uintmax_t{64} << 30);
    DriveLetters letters({.configHome = temp.path("config")});
    letters.give('E', temp.path("cd"));
    EXPECT_THROW(letters.save(), std::system_error);
    EXPECT_EQ(std::filesystem::file_size(file), std::uintmax_t{64} << 30);
}

}  // namespace
}  // namespace kelmor::drives
