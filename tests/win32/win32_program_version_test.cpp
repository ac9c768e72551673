// SPDX-License-Identifier: GPL-3.0-or-later
// The version resources that windres made for the emulators' stand-ins,
// read through the Win32 host's files: the reader on real PE programs.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "core/program_version.hpp"
#include "tests/win32/win32_scene.hpp"

namespace kelmor::win32 {
namespace {

// A program built beside this test.
std::string besideThisTest(const std::string& name) {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    const std::string path = utf8(self);
    return path.substr(0, path.find_last_of('\\') + 1) + name;
}

TEST(Win32ProgramVersion, EachStandInNamesItsEmulator) {
    test::Scene scene;
    struct Case {
        std::string program;
        std::array<unsigned, 4> version;
        std::string product, description;
        EmulatorDialect dialect;
    };
    const std::vector<Case> cases{
        {"record_start_staging_0_82.exe",
         {0, 82, 2, 0},
         "DOSBox Staging",
         "DOSBox Staging DOS Emulator",
         EmulatorDialect::Staging},
        {"record_start_staging_0_83.exe",
         {0, 83, 0, 0},
         "DOSBox Staging",
         "DOSBox Staging DOS Emulator",
         EmulatorDialect::Staging083},
        {"record_start_dosbox_0_74.exe",
         {0, 74, 3, 0},
         "DOSBox DOS Emulator",
         "DOSBox DOS Emulator",
         EmulatorDialect::Dosbox074},
        {"record_start_dosbox_x.exe",
         {2025, 2, 1, 0},
         "DOSBox-X",
         "DOSBox-X DOS Emulator",
         EmulatorDialect::DosboxX},
    };
    for (const Case& c : cases) {
        const auto version = programVersion(scene.host, besideThisTest(c.program));
        ASSERT_TRUE(version) << c.program;
        EXPECT_EQ(version->fileVersion, c.version) << c.program;
        EXPECT_EQ(version->productName, c.product) << c.program;
        EXPECT_EQ(version->fileDescription, c.description) << c.program;
        EXPECT_EQ(emulatorFromProgramVersion(*version).dialect, c.dialect) << c.program;
    }
    // The plain stand-in has no version resource; a folder is no program.
    EXPECT_FALSE(programVersion(scene.host, besideThisTest("record_start.exe")));
    EXPECT_FALSE(programVersion(scene.host, scene.path("app")));
}

}  // namespace
}  // namespace kelmor::win32
