// SPDX-License-Identifier: GPL-3.0-or-later
// The game launcher's sequence on the real POSIX host: CDs in temporary
// folders behind drive letters, an application folder with blanks in its
// path, and a stand-in emulator that records how it was started.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "core/dosbox_config.hpp"
#include "core/posix/posix_host.hpp"
#include "game_launcher/game_launch.hpp"
#include "tests/support/child_process.hpp"
#include "tests/support/temp_folder.hpp"

namespace kelmor {
namespace {

struct Ended {
    int code;
};

class EndingHost : public posix::PosixHost {
public:
    using PosixHost::PosixHost;
    [[noreturn]] void endProcess(int code) override { throw Ended{code}; }
};

// Records its arguments, one per line, then its working directory.
constexpr const char* kStandInEmulator =
    "#!/bin/sh\n{ printf '%s\\n' \"$@\"; pwd; } >started.tmp && mv started.tmp started.txt\n";

class GameLaunchOnPosix : public ::testing::Test {
protected:
    GameLaunchOnPosix() {
        temp.makeFolder("Kelmor app/SAVEGAME");
        temp.write("Kelmor app/dosbox.exe", kStandInEmulator);
        chmod(temp.path("Kelmor app/dosbox.exe").c_str(), 0755);
        temp.write("Kelmor app/kelmor.ini", "[game]\n");
        temp.write("cd-e/kelmor/kelmor/vignet.dat", "marker");
        temp.write("cd-e/kelmor/kelmor/intro.dat", "intro from the CD");
        temp.makeFolder("cd-g");
        mapDrives("E=" + temp.path("cd-e") + "\nG=" + temp.path("cd-g") + "\n");
    }

    // Every test starts the stand-in; it must be done before the folder goes,
    // or its record is written into a folder half removed and stays in /tmp.
    ~GameLaunchOnPosix() override { emulatorRecord(); }

    void mapDrives(const std::string& lines) {
        temp.write("config/kelmor/drives.ini", "[options]\ndetect=no\n[drives]\n" + lines);
    }

    int runGame() {
        EndingHost host(
            {.applicationFolder = temp.path("Kelmor app"), .configHome = temp.path("config")});
        GameLauncher launcher(host);
        try {
            launcher.run();
        } catch (const Ended& end) {
            return end.code;
        }
        return -1;
    }

    // The stand-in's record, once it has written it.
    std::string emulatorRecord() {
        for (int i = 0; i < 100 && !temp.exists("Kelmor app/started.txt"); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        return temp.exists("Kelmor app/started.txt") ? temp.read("Kelmor app/started.txt") : "";
    }

    std::string appFolderText() const {
        std::string text = "C:" + temp.path("Kelmor app");
        for (char& c : text)
            if (c == '/') c = '\\';
        return text;
    }

    test::TempFolder temp;
};

TEST_F(GameLaunchOnPosix, WritesDosboxConfAndStartsTheEmulatorInTheApplicationFolder) {
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path("/");  // the launcher's own folder does not matter
    const int code = runGame();
    std::filesystem::current_path(previous);
    EXPECT_EQ(code, 0);

    std::string expected = configurationTemplate(TemplateVariant::Game);
    for (const auto& [token, value] : {std::pair{"(cycles)", "20000"},
                                       {"(fullscreen)", "true"},
                                       {"(fullfixed)", "false"},
                                       {"(output)", "surface"}})
        expected = replaceAll(expected, token, value);
    expected += "ECHO ON\r\n";
    for (int i = 0; i < 16; ++i) expected += "ECHO -\r\n";
    expected +=
        "MOUNT E E:\\ -t cdrom -usecd 0 -ioctl\r\n"
        "MOUNT B \"" +
        appFolderText() +
        "\\SAVEGAME\"\r\n"
        "ECHO ON\r\nE:\r\nCD E:\\KELMOR\\KELMOR\r\nKELMOR.EXE save=B:\r\nexit\r\n";
    EXPECT_EQ(temp.read("Kelmor app/dosbox.conf"), expected);

    EXPECT_EQ(emulatorRecord(), "-noconsole\n" + temp.path("Kelmor app") + "\n");
    EXPECT_FALSE(temp.exists("Kelmor app/kelmor.ini"));
    EXPECT_EQ(temp.read("Kelmor app/SAVEGAME/INTRO.DAT"), "intro from the CD");
}

TEST_F(GameLaunchOnPosix, AnIntroFileInAnyCaseIsKept) {
    temp.write("Kelmor app/SAVEGAME/intro.dat", "the player's own");
    EXPECT_EQ(runGame(), 0);
    EXPECT_EQ(temp.names("Kelmor app/SAVEGAME"), std::vector<std::string>{"intro.dat"});
    EXPECT_EQ(temp.read("Kelmor app/SAVEGAME/intro.dat"), "the player's own");
}

TEST_F(GameLaunchOnPosix, SettingsOfKel1ReachTheFile) {
    temp.write("config/kelmor/kel1.ini", "[kel1]\ncycles=max 50%\nfullscreen=false\nintro=0\n");
    temp.write("Kelmor app/SAVEGAME/INTRO.DAT", "old");
    EXPECT_EQ(runGame(), 0);
    const std::string conf = temp.read("Kelmor app/dosbox.conf");
    EXPECT_NE(conf.find("\r\ncycles=max 50%\r\n"), std::string::npos);
    EXPECT_NE(conf.find("[sdl]\r\nfullscreen=false\r\n"), std::string::npos);
    EXPECT_FALSE(temp.exists("Kelmor app/SAVEGAME/INTRO.DAT"));
}

TEST_F(GameLaunchOnPosix, MissingDrivesAndUnmappedLettersAreMisses) {
    mapDrives("D=" + temp.path("nowhere") + "\nF=" + temp.path("cd-e") + "\n");
    EXPECT_EQ(runGame(), 0);
    EXPECT_NE(temp.read("Kelmor app/dosbox.conf").find("\r\nCD F:\\KELMOR\\KELMOR\r\n"),
              std::string::npos);
}

// A full disc: the older dosbox.conf stays whole, and the emulator is not
// started on it (it would run what that file says); the launcher says so
// and ends with 1.
TEST_F(GameLaunchOnPosix, AConfigurationThatCannotBeWrittenLeavesTheOlderOneAndStartsNothing) {
    const std::string older(700, 'o');
    temp.write("Kelmor app/dosbox.conf", older);
    const int outcome = test::failureInChild(
        [&] {
            if (runGame() != 1) throw std::system_error(EINTR, std::generic_category());
        },
        false, [] { test::limitFileSize(800); });
    EXPECT_EQ(outcome, 0);
    EXPECT_EQ(temp.read("Kelmor app/dosbox.conf"), older);
    EXPECT_EQ(temp.names("Kelmor app"),
              (std::vector<std::string>{"SAVEGAME", "dosbox.conf", "dosbox.exe"}));
}

}  // namespace
}  // namespace kelmor
