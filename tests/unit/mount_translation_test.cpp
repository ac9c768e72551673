// SPDX-License-Identifier: GPL-3.0-or-later
#include "dosbox_bridge/mount_translation.hpp"

#include <gtest/gtest.h>

#include <cctype>
#include <map>

namespace kelmor::bridge {
namespace {

// E: is a CD folder, F: a folder with a blank, P: one with a percent sign,
// Q: one with a double quote; C: is the host root. I:, J: and K: hold disc
// images, K:'s with a double quote in its name. Other drives are unmapped.
std::optional<HostMount> mapForTest(std::string_view path) {
    static const std::map<char, std::string> roots{{'C', ""},
                                                   {'E', "/media/cd"},
                                                   {'F', "/home/ann/Kelmor CD"},
                                                   {'P', "/srv/100%"},
                                                   {'Q', "/srv/say \"hi\""}};
    static const std::map<char, std::string> images{{'I', "/home/ann/cds/kelmor.cue"},
                                                    {'J', "/home/ann/my cds/100% kit.iso"},
                                                    {'K', "/home/ann/\"kit\".iso"}};
    const char drive = static_cast<char>(std::toupper(static_cast<unsigned char>(path[0])));
    if (const auto image = images.find(drive); image != images.end())
        return HostMount{image->second, true};
    const auto root = roots.find(drive);
    if (root == roots.end()) return std::nullopt;
    std::string host = root->second;
    for (char c : path.substr(2)) host += c == '\\' ? '/' : c;
    while (host.size() > 1 && host.back() == '/') host.pop_back();
    return HostMount{host.empty() ? "/" : host};
}

std::string translated(std::string_view configuration) {
    return translateMountPaths(configuration, mapForTest).text;
}

struct LineCase {
    const char* what;
    const char* line;
    const char* expected;
};

class MountLine : public ::testing::TestWithParam<LineCase> {};

TEST_P(MountLine, OnlyTheHostPathChanges) {
    const LineCase& c = GetParam();
    EXPECT_EQ(translated(std::string("[autoexec]\r\n") + c.line + "\r\n"),
              std::string("[autoexec]\r\n") + c.expected + "\r\n")
        << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MountLine,
    ::testing::Values(
        LineCase{"game CD", R"(MOUNT E E:\ -t cdrom -usecd 0 -ioctl)",
                 R"(MOUNT E "/media/cd" -t cdrom -usecd 0 -ioctl)"},
        LineCase{"kit CD, lower case command", R"(mount L E:\ -t cdrom -ioctl)",
                 R"(mount L "/media/cd" -t cdrom -ioctl)"},
        LineCase{"save folder with a blank, quoted", R"(MOUNT B "C:\home\ann\Kelmor app\SAVEGAME")",
                 R"(MOUNT B "/home/ann/Kelmor app/SAVEGAME")"},
        LineCase{"unquoted gains quotes for a blank", R"(MOUNT E F:\KELMOR -t cdrom)",
                 R"(MOUNT E "/home/ann/Kelmor CD/KELMOR" -t cdrom)"},
        LineCase{"'>' quoted, the shell's output redirection",
                 R"(MOUNT E C:\home\player\cds\a>b -t cdrom)",
                 R"(MOUNT E "/home/player/cds/a>b" -t cdrom)"},
        LineCase{"'<' quoted, the shell's input redirection", R"(MOUNT E C:\cds\a<b)",
                 R"(MOUNT E "/cds/a<b")"},
        LineCase{"'|' quoted, the shell's pipe", R"(MOUNT E C:\cds\a|b)", R"(MOUNT E "/cds/a|b")"},
        LineCase{"a tab quoted", "MOUNT E \"C:\\cds\\a\tb\"", "MOUNT E \"/cds/a\tb\""},
        LineCase{"mixed case, lower case drive", R"(MoUnT e e:\kelmor)",
                 R"(MoUnT e "/media/cd/kelmor")"},
        LineCase{"echo-off prefix", R"(@mount E E:\)", R"(@mount E "/media/cd")"},
        LineCase{"options before the drive", R"(MOUNT -t cdrom -label KEL E E:\)",
                 R"(MOUNT -t cdrom -label KEL E "/media/cd")"},
        LineCase{"option value shaped like a path", R"(MOUNT -label C:\x E E:\)",
                 R"(MOUNT -label C:\x E "/media/cd")"},
        LineCase{"blanks and tabs around words kept", "  MOUNT\tE   E:\\\t-t cdrom  ",
                 "  MOUNT\tE   \"/media/cd\"\t-t cdrom  "},
        LineCase{"drive letter alone", "MOUNT E E:", R"(MOUNT E "/media/cd")"},
        LineCase{"C: is the root", R"(MOUNT D C:\)", R"(MOUNT D "/")"},
        LineCase{"percent doubled for the batch processor", R"(MOUNT D P:\)",
                 R"(MOUNT D "/srv/100%%")"},
        LineCase{"a launcher's doubled percent is one, doubled once", R"(MOUNT B "C:\Kit 100%%")",
                 R"(MOUNT B "/Kit 100%%")"},
        LineCase{"unclosed quote closed", R"(MOUNT B "C:\a b)", R"(MOUNT B "/a b")"},
        LineCase{"unmapped drive unchanged", R"(MOUNT E G:\ -t cdrom)", R"(MOUNT E G:\ -t cdrom)"},
        LineCase{"host path unchanged", "MOUNT C /home/ann/dos", "MOUNT C /home/ann/dos"},
        LineCase{"relative path unchanged", "MOUNT C dos", "MOUNT C dos"},
        LineCase{"unmount unchanged", "MOUNT -u E", "MOUNT -u E"},
        LineCase{"drive only unchanged", "MOUNT E", "MOUNT E"},
        LineCase{"other command unchanged", R"(MOUNTX E E:\)", R"(MOUNTX E E:\)"},
        LineCase{"image mount unchanged", R"(IMGMOUNT E E:\cd.iso -t iso)",
                 R"(IMGMOUNT E E:\cd.iso -t iso)"},
        LineCase{"comment unchanged", R"(# MOUNT E E:\)", R"(# MOUNT E E:\)"},
        LineCase{"drive path in another command unchanged", R"(CD E:\KELMOR)", R"(CD E:\KELMOR)"},
        LineCase{"quoted command word is no MOUNT", R"("MOUNT" E E:\)", R"("MOUNT" E E:\)"},
        LineCase{"folder with a double quote left alone", R"(MOUNT E Q:\)", R"(MOUNT E Q:\)"},
        LineCase{"folder with a control character left alone",
                 "MOUNT E C:\\a\x01"
                 "b",
                 "MOUNT E C:\\a\x01"
                 "b"},
        LineCase{"game CD image, its options dropped", R"(MOUNT I I:\ -t cdrom -usecd 0 -ioctl)",
                 R"(IMGMOUNT I "/home/ann/cds/kelmor.cue" -t iso)"},
        LineCase{"kit CD image, always quoted, percent doubled", R"(mount J J:\ -t cdrom -ioctl)",
                 R"(IMGMOUNT J "/home/ann/my cds/100%% kit.iso" -t iso)"},
        LineCase{"image mount keeps blanks, echo-off prefix and the DOS drive", "  @mount\tE  I:\\",
                 R"(  @IMGMOUNT E "/home/ann/cds/kelmor.cue" -t iso)"},
        LineCase{"image with a double quote left alone", R"(MOUNT K K:\)", R"(MOUNT K K:\)"}));

TEST(MountTranslation, LineEndsAndSectionsAsWritten) {
    struct Case {
        const char* what;
        const char* input;
        const char* expected;
    };
    const Case cases[] = {
        {"LF line ends kept", "[autoexec]\nMOUNT E E:\\\nE:\n",
         "[autoexec]\nMOUNT E \"/media/cd\"\nE:\n"},
        {"last line without a line end", "[autoexec]\r\nMOUNT E E:\\",
         "[autoexec]\r\nMOUNT E \"/media/cd\""},
        {"section name in any case", "[AutoExec]\r\nMOUNT E E:\\\r\n",
         "[AutoExec]\r\nMOUNT E \"/media/cd\"\r\n"},
        {"outside [autoexec] nothing changes", "[dos]\r\nMOUNT E E:\\\r\n",
         "[dos]\r\nMOUNT E E:\\\r\n"},
        {"a later section ends [autoexec]", "[autoexec]\nMOUNT E E:\\\n[dos]\nMOUNT E E:\\\n",
         "[autoexec]\nMOUNT E \"/media/cd\"\n[dos]\nMOUNT E E:\\\n"},
        {"a second [autoexec] counts as well", "[autoexec]\n[sdl]\n[autoexec]\nMOUNT E E:\\\n",
         "[autoexec]\n[sdl]\n[autoexec]\nMOUNT E \"/media/cd\"\n"},
        {"blanks inside the brackets name another section", "[ autoexec ]\nMOUNT E E:\\\n",
         "[ autoexec ]\nMOUNT E E:\\\n"},
        {"empty text", "", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(translated(c.input), c.expected) << c.what;
}

// What the game launcher writes, as far as the emulator is concerned: only
// the two MOUNT lines change, every other byte stays.
TEST(MountTranslation, GameConfigurationChangesInItsTwoMountLinesOnly) {
    const std::string head =
        "[sdl]\r\nfullscreen=true\r\noutput=surface\r\n\r\n[gus]\r\nultradir=C:\\ULTRASND\r\n\r\n"
        "[autoexec]\r\nECHO ON\r\nECHO -\r\n";
    const std::string tail =
        "ECHO ON\r\nE:\r\nCD E:\\KELMOR\\KELMOR\r\nKELMOR.EXE save=B:\r\nexit\r\n";
    const std::string written = head +
                                "MOUNT E E:\\ -t cdrom -usecd 0 -ioctl\r\n"
                                "MOUNT B \"C:\\home\\ann\\Kelmor app\\SAVEGAME\"\r\n" +
                                tail;
    const auto result = translateMountPaths(written, mapForTest);
    EXPECT_EQ(result.text, head +
                               "MOUNT E \"/media/cd\" -t cdrom -usecd 0 -ioctl\r\n"
                               "MOUNT B \"/home/ann/Kelmor app/SAVEGAME\"\r\n" +
                               tail);
    EXPECT_TRUE(result.problems.empty());
}

TEST(MountTranslation, FolderOrImageThatNoArgumentCanCarryIsReported) {
    const auto result =
        translateMountPaths("[autoexec]\nMOUNT E Q:\\\nMOUNT F E:\\\nMOUNT K K:\\\n", mapForTest);
    EXPECT_EQ(result.text, "[autoexec]\nMOUNT E Q:\\\nMOUNT F \"/media/cd\"\nMOUNT K K:\\\n");
    ASSERT_EQ(result.problems.size(), 2u);
    EXPECT_NE(result.problems[0].find("folder of Q:\\"), std::string::npos) << result.problems[0];
    EXPECT_NE(result.problems[1].find("image of K:\\"), std::string::npos) << result.problems[1];
}

TEST(MountTranslation, MapperIsAskedOnlyForMountHostPaths) {
    std::vector<std::string> asked;
    translateMountPaths("[sdl]\nmount E E:\\\n[autoexec]\nMOUNT -t cdrom E F:\\x\nCD G:\\\n",
                        [&](std::string_view path) {
                            asked.emplace_back(path);
                            return std::optional<HostMount>(HostMount{"/x"});
                        });
    EXPECT_EQ(asked, std::vector<std::string>{"F:\\x"});
}

}  // namespace
}  // namespace kelmor::bridge
