// SPDX-License-Identifier: GPL-3.0-or-later
#include "mapper_launcher/mapper_launch.hpp"

#include <gtest/gtest.h>

#include "core/dosbox_config.hpp"
#include "tests/support/fake_host.hpp"

namespace kelmor {
namespace {

using testing::FakeHost;
using testing::mzProgram;

const std::string kApp = "C:\\Games\\Kelmor";
const std::string kEditor = kApp + "\\mapper.exe";
const std::string kDosbox = kApp + "\\dosbox.exe";
const std::vector<std::string> kEmulatorArguments{"-noconsole", "-conf", "mapeditor.conf"};

// Runs the launch to its end and returns the exit code.
int runMapper(FakeHost& host) {
    return testing::exitCodeOf([&] { MapperLauncher(host).run(); });
}

// An application folder where the kit is installed, with the map editor
// given (none: without one).
FakeHost installedKit(const std::optional<std::string>& mapEditor,
                      const std::string& folder = kApp) {
    FakeHost host;
    host.folder = folder;
    host.addFile(folder + "\\THEST.FUJ", "KELPLIX\r\n");
    if (mapEditor) host.addFile(folder + "\\MAPPER.EXE", *mapEditor);
    return host;
}

TEST(MapperLaunch, TheMarkerDecidesWhatStarts) {
    const std::string kit = kApp + "\\_KelmorPlix.exe";
    struct Case {
        const char* name;
        std::optional<std::string> marker;  // none: no marker file
        bool unreadable;
        std::string program;
        std::vector<std::string> arguments;
    };
    const Case cases[] = {
        {"KELPLIX with CR LF", "KELPLIX\r\n", false, kEditor, {}},
        {"KELPLIX alone", "KELPLIX", false, kEditor, {}},
        {"KELPLIX and an empty line", "KELPLIX\r\n\r\n", false, kit, {"mapper"}},
        {"KELPLIX and another line", "KELPLIX\r\nX", false, kit, {"mapper"}},
        {"other case", "kelplix\r\n", false, kit, {"mapper"}},
        {"another line", "INSTALLED\r\n", false, kit, {"mapper"}},
        {"empty file", "", false, kit, {"mapper"}},
        {"no file", std::nullopt, false, kit, {"mapper"}},
        {"unreadable file", "KELPLIX\r\n", true, kit, {"mapper"}},
    };
    for (const Case& c : cases) {
        FakeHost host;
        host.dosPrograms = true;  // the 32-bit Windows the kit was made for
        host.addFile(kApp + "\\MAPPER.EXE", "a program of the system's own");
        if (c.marker) host.addFile(kApp + "\\THEST.FUJ", *c.marker);
        if (c.unreadable) host.failOn("read");
        EXPECT_EQ(runMapper(host), 0) << c.name;
        ASSERT_EQ(host.started.size(), 1u) << c.name;
        EXPECT_EQ(host.started[0].program, c.program) << c.name;
        EXPECT_EQ(host.started[0].arguments, c.arguments) << c.name;
        EXPECT_TRUE(host.messages.empty()) << c.name;
        EXPECT_EQ(host.log.size(), 1u) << c.name << ": the start is all it does";
    }
}

// What the map editor is, and what the system can do, decide how it opens.
TEST(MapperLaunch, TheMapEditorOpensDirectlyOrInTheEmulator) {
    struct Case {
        const char* name;
        std::optional<std::string> mapEditor;  // none: no map editor
        bool systemRunsDos;
        std::vector<std::string> failingStarts;
        std::string started;       // empty: nothing
        std::string messageStart;  // empty: no message
        bool unreadable = false;
    };
    const std::string kHostProgram =
        "MAPPER.EXE in the folder " + kApp + " is a Linux program or a script";
    std::string pointerBeyondTheEnd = mzProgram();
    pointerBeyondTheEnd[0x3F] = '\x7F';
    const Case cases[] = {
        {"DOS program, system without DOS", mzProgram(), false, {}, kDosbox, ""},
        {"DOS program, 32-bit Windows", mzProgram(), true, {}, kEditor, ""},
        {"DOS program, its direct start fails", mzProgram(), true, {kEditor}, kDosbox, ""},
        {"extended DOS program (LE)", mzProgram("LE"), false, {}, kDosbox, ""},
        {"DOS program shorter than 64 bytes", "MZ\x10\x01", false, {}, kDosbox, ""},
        {"header pointer beyond the file", pointerBeyondTheEnd, false, {}, kDosbox, ""},
        {"Windows program (PE)", mzProgram(std::string("PE\0\0", 4)), false, {}, kEditor, ""},
        {"Windows 3 program (NE)", mzProgram("NE"), false, {}, kEditor, ""},
        {"DOS program in COM form", "\xB4\x4C\xCD\x21", false, {}, kDosbox, ""},
        {"COM program, 32-bit Windows", "\xB4\x4C\xCD\x21", true, {}, kEditor, ""},
        {"script", "#!/bin/sh\n", false, {}, "", kHostProgram},
        {"script, 32-bit Windows", "#!/bin/sh\n", true, {}, "", kHostProgram},
        {"ELF program",
         "\x7F"
         "ELF\x02\x01\x01",
         false,
         {},
         "",
         kHostProgram},
        {"map editor that cannot be read",
         mzProgram(),
         false,
         {},
         "",
         "The map editor MAPPER.EXE cannot be read",
         true},
        {"no map editor", std::nullopt, false, {}, "", ""},
        {"DOS program, no emulator",
         mzProgram(),
         false,
         {kDosbox},
         "",
         "The map editor MAPPER.EXE is a DOS program, which this system cannot run by itself, and "
         "DOSBox, "
         "which would run it, cannot be started.\n\nGet DOSBox. Then open the map editor "
         "again.\n\nError 2: "},
        {"Windows program that cannot start",
         mzProgram("NE"),
         false,
         {kEditor},
         "",
         "The map editor MAPPER.EXE cannot be started"},
    };
    for (const Case& c : cases) {
        FakeHost host = installedKit(c.mapEditor);
        host.dosPrograms = c.systemRunsDos;
        for (const std::string& program : c.failingStarts) host.failOn("start", program, ENOENT);
        if (c.unreadable) host.failOn("read", kApp + "\\MAPPER.EXE");
        EXPECT_EQ(runMapper(host), c.messageStart.empty() ? 0 : 1) << c.name;
        ASSERT_EQ(host.started.size(), c.started.empty() ? 0u : 1u) << c.name;
        if (!c.started.empty()) {
            EXPECT_EQ(host.started[0].program, c.started) << c.name;
            EXPECT_EQ(host.started[0].arguments,
                      c.started == kDosbox ? kEmulatorArguments : std::vector<std::string>{})
                << c.name;
        }
        const bool viaEmulator =
            c.started == kDosbox || c.messageStart.find("DOS") != std::string::npos;
        EXPECT_EQ(host.hasFile(kApp + "\\mapeditor.conf"), viaEmulator) << c.name;
        EXPECT_FALSE(host.hasFile(kApp + "\\dosbox.conf")) << c.name;
        ASSERT_EQ(host.messages.size(), c.messageStart.empty() ? 0u : 1u) << c.name;
        if (c.messageStart.empty()) continue;
        EXPECT_EQ(host.messages[0].text.rfind(c.messageStart, 0), 0u) << host.messages[0].text;
        EXPECT_EQ(host.messages[0].title, "Kelmor Plix Mapper Launcher") << c.name;
        EXPECT_EQ(host.messages[0].style, MessageStyle::Warning) << c.name;
    }
}

// The kit's rendered template, then the application folder as B: (its '%'
// doubled for the emulator's shell) and the map editor run from there; the
// kit's own dosbox.conf stays as it was.
TEST(MapperLaunch, TheEmulatorRunsTheMapEditorWithTheKitsSettings) {
    FakeHost host = installedKit(mzProgram(), "C:\\Program Files\\Kelmor Plix 100%");
    host.addFile(host.folder + "\\dosbox.conf", "the kit's");
    host.setSetting("kelkit", "cycles", "30000");
    host.setSetting("kel1", "output", "ddraw");  // the game's settings play no part
    EXPECT_EQ(runMapper(host), 0);

    std::string expected = configurationTemplate(TemplateVariant::Kit);
    expected = replaceAll(expected, "(cycles)", "30000");
    expected = replaceAll(expected, "(fullscreen)", "true");
    expected = replaceAll(expected, "(fullfixed)", "false");
    expected = replaceAll(expected, "(output)", "surface");
    expected +=
        "\r\ncls\r\n"
        "mount B \"C:\\Program Files\\Kelmor Plix 100%%\"\r\n"
        "B:\r\n"
        "mapper.exe\r\n"
        "exit\r\n";
    EXPECT_EQ(host.content(host.folder + "\\mapeditor.conf"), expected);
    EXPECT_EQ(host.content(host.folder + "\\dosbox.conf"), "the kit's");
    ASSERT_EQ(host.started.size(), 1u);
    EXPECT_EQ(host.started[0].program, "C:\\Program Files\\Kelmor Plix 100%\\dosbox.exe");
}

TEST(MapperLaunch, AFailedStartOfTheKitLauncherIsDroppedWithoutAMessage) {
    FakeHost host;
    host.failOn("start");
    EXPECT_EQ(runMapper(host), 0);
    EXPECT_TRUE(host.started.empty());
    EXPECT_TRUE(host.messages.empty());
}

TEST(MapperLaunch, KeepsTheFolderAndTheArgumentApart) {
    FakeHost host;
    host.folder = "C:\\Program Files\\Kelmor Plix";
    EXPECT_EQ(runMapper(host), 0);
    ASSERT_EQ(host.started.size(), 1u);
    EXPECT_EQ(host.started[0].program, "C:\\Program Files\\Kelmor Plix\\_KelmorPlix.exe");
    EXPECT_EQ(host.started[0].arguments, std::vector<std::string>{"mapper"});
}

}  // namespace
}  // namespace kelmor
