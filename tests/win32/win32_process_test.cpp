// SPDX-License-Identifier: GPL-3.0-or-later
// Program start and command line on the Win32 host.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/win32/win32_command_line.hpp"
#include "tests/win32/win32_scene.hpp"

namespace kelmor::win32 {
namespace {

using test::Scene;

// The stand-in program, built beside this test.
std::wstring recorder() {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring path(self);
    return path.substr(0, path.find_last_of(L'\\') + 1) + L"record_start.exe";
}

void install(const Scene& scene, const std::string& relative) {
    std::filesystem::create_directories(scene.hostPath(relative).parent_path());
    ASSERT_TRUE(CopyFileW(recorder().c_str(), scene.hostPath(relative).c_str(), FALSE)) << relative;
}

// A folder with blanks and an apostrophe, below one that holds a
// "Program.exe": a start that let the system guess where the path ends would
// run that one.
TEST(Win32Process, StartsTheNamedProgramWithItsArgumentsInTheApplicationFolder) {
    const std::string app = "Program Files/Kelmor's Kit";
    Scene scene(app);
    install(scene, app + "/dosbox.exe");
    install(scene, "Program.exe");
    scene.write(app + "/dosbox.conf", "[sdl]\r\n");
    const std::vector<std::string> arguments = {
        "-noconsole", "two words",           "",          "say \"hi\"",
        "ends in\\",  "back\\\\slashes\\\"", "tab\there", "K\xc3\xa9lmor \xe2\x82\xac \xd0\x96"};

    SetCurrentDirectoryW(L"C:\\windows");  // as a desktop would start the launcher
    scene.host.startProgram(scene.path(app) + "\\dosbox.exe", arguments);

    std::string expected = std::to_string(arguments.size()) + "\n";
    for (const std::string& argument : arguments) expected += argument + "\n";
    expected += scene.path(app) + "\n";
    EXPECT_EQ(scene.await(app + "/dosbox-started.txt"), expected);
    EXPECT_EQ(scene.read(app + "/dosbox-cmdline.txt")
                  .rfind("\"" + scene.path(app) + "\\dosbox.exe\" ", 0),
              0u)
        << scene.read(app + "/dosbox-cmdline.txt");
    EXPECT_EQ(scene.read(app + "/dosbox.conf"), "[sdl]\r\n");
    Sleep(300);
    EXPECT_FALSE(scene.exists("program-started.txt")) << "C:\\...\\Program.exe was started";
}

TEST(Win32Process, TheKitLauncherGetsExactlyMapper) {
    Scene scene("Kelmor Plix");
    install(scene, "Kelmor Plix/_KelmorPlix.exe");
    scene.host.startProgram(scene.path("Kelmor Plix") + "\\_KelmorPlix.exe", {"mapper"});
    EXPECT_EQ(scene.await("Kelmor Plix/_kelmorplix-started.txt"),
              "1\nmapper\n" + scene.path("Kelmor Plix") + "\n");
    EXPECT_EQ(scene.read("Kelmor Plix/_kelmorplix-cmdline.txt"),
              "\"" + scene.path("Kelmor Plix") + "\\_KelmorPlix.exe\" mapper");
}

TEST(Win32Process, AMissingProgramIsAnError) {
    Scene scene;
    try {
        scene.host.startProgram(scene.path("app") + "\\dosbox.exe", {"-noconsole"});
        ADD_FAILURE() << "started a missing program";
    } catch (const std::system_error& error) {
        EXPECT_EQ(error.code(), std::errc::no_such_file_or_directory) << error.what();
        EXPECT_NE(std::string(error.what()).find("dosbox.exe"), std::string::npos);
    }
}

TEST(Win32CommandLine, TheTextBehindTheProgramName) {
    struct Case {
        std::wstring line;
        std::wstring behind;
    };
    const std::vector<Case> cases = {
        {L"\"C:\\Program Files\\Kit\\_KelmorPlix.exe\" mapper", L"mapper"},
        {L"C:\\Kit\\_KelmorPlix.exe mapper", L"mapper"},
        {L"_KelmorPlix.exe", L""},
        {L"\"C:\\Kit\\_KelmorPlix.exe\"", L""},
        {L"_KelmorPlix \t mapper ", L"mapper "},
        {L"\"C:\\a b\\x.exe\"mapper", L"mapper"},
        {L"x.exe MAPPER", L"MAPPER"},
        {L"x.exe mapper now", L"mapper now"},
        {L"\"unclosed mapper", L""},
        {L"", L""},
    };
    for (const Case& c : cases) EXPECT_EQ(textBehindProgramName(c.line), c.behind) << utf8(c.line);
}

}  // namespace
}  // namespace kelmor::win32
