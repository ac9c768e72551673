// SPDX-License-Identifier: GPL-3.0-or-later
// The kit launcher on the real POSIX host: a generated kit CD and an
// application folder in a temporary folder, mapped through a private drive map.
#include <gtest/gtest.h>

#include <cctype>
#include <chrono>
#include <functional>
#include <map>
#include <set>

#include "core/posix/posix_host.hpp"
#include "core/program_identity.hpp"
#include "core/unhandled_error.hpp"
#include "kit_launcher/kit_launch.hpp"
#include "tests/support/child_process.hpp"
#include "tests/support/disc_images.hpp"
#include "tests/support/kit_scene.hpp"
#include "tests/support/temp_folder.hpp"

namespace kelmor {
namespace {

namespace fs = std::filesystem;
using testing::hostRelative;
using testing::readBytes;
using testing::writeBytes;

struct Ended {
    int exitCode;
};

// The real host, but programs are only recorded unless asked to start, boxes
// are recorded, and the end of the process is seen by the test.
class KitTestHost : public posix::PosixHost {
public:
    using PosixHost::PosixHost;
    bool reallyStart = false;
    std::vector<std::string> started;
    std::vector<std::string> messages;  // "title: text"
    std::function<void()> beforeEachCopy;

    void copyFile(const std::string& source, const std::string& destination) override {
        if (beforeEachCopy) beforeEachCopy();
        PosixHost::copyFile(source, destination);
    }

    void startProgram(const std::string& program,
                      const std::vector<std::string>& arguments) override {
        if (reallyStart) PosixHost::startProgram(program, arguments);
        started.push_back(program);
    }
    void messageBox(const std::string& text, MessageStyle, const std::string& title) override {
        messages.push_back(title + ": " + text);
    }
    [[noreturn]] void endProcess(int exitCode) override { throw Ended{exitCode}; }
};

// Each CD file's content names it and differs in length from its neighbours.
std::string cdContent(const std::string& source) {
    return "cd:" + source + std::string(source.size() * 37 % 4096, '\x7f') + "\r\n";
}

std::string lowerCase(std::string name) {
    for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return name;
}

class KitInstall : public ::testing::Test {
protected:
    test::TempFolder temp;
    fs::path app = fs::path(temp.path()) / "Kit app";
    fs::path cd = fs::path(temp.path()) / "cd";
    fs::path config = fs::path(temp.path()) / "config";
    std::string appWindows = testing::windowsPath(app);

    void SetUp() override {
        testing::makeKitSkeleton(app);
        testing::writeKitCd(cd / "kit", cdContent, lowerCase);  // as Linux shows a mounted CD
        testing::writeDriveMap(config, 'E', cd);
    }

    // Runs the launcher as its tick does; returns the exit code.
    int run(KitTestHost& host) {
        KitLauncher launcher(host);
        try {
            runReportingUnhandledErrors(host, kKitLauncherIdentity.title,
                                        [&] { launcher.LaunchKit(); });
        } catch (const Ended& end) {
            return end.exitCode;
        }
        ADD_FAILURE() << "the sequence returned";
        return -1;
    }
    KitTestHost host(std::vector<std::string> arguments = {}) {
        posix::PosixHostOptions options;
        options.applicationFolder = app.string();
        options.configHome = config.string();
        options.arguments = std::move(arguments);
        return KitTestHost(options);
    }
    std::string installed(const KitCopy& copy) {
        return readBytes(app / hostRelative(copy.destination));
    }
    // Every copy of the manifest holds its CD file, the map editor the last
    // language's.
    void expectEveryFileInstalled() {
        for (const KitCopy& copy : kitCopyList()) {
            const std::string source =
                copy.destination == "MAPPER.EXE" ? std::string("USA\\MAPPER.EXE") : copy.source;
            ASSERT_EQ(installed(copy), cdContent(source)) << copy.destination;
        }
    }
    // Every file below the application folder with its modification time.
    std::map<fs::path, fs::file_time_type> modificationTimes() {
        std::map<fs::path, fs::file_time_type> times;
        for (const auto& entry : fs::recursive_directory_iterator(app))
            if (entry.is_regular_file()) times[entry.path()] = entry.last_write_time();
        return times;
    }
};

TEST_F(KitInstall, InstallsEveryFileByteForByteAndRecordsTheInstallation) {
    KitTestHost h = host();
    EXPECT_EQ(run(h), 0);
    expectEveryFileInstalled();
    EXPECT_EQ(readBytes(app / "THEST.FUJ"), "KELPLIX\r\n");
    EXPECT_EQ(readBytes(app / "vantrel" / "vtr.ini"),
              "[OSD]\r\nDirectory=" + appWindows +
                  "\\vantrel\\osd\r\nValid=TRUE\r\n\r\n[INSTALLED PRODUCTS]\r\nKELKIT\r\n\r\n"
                  "[KELKIT]\r\nSrcDataPath=\\\r\nDirectory=" +
                  appWindows + "\\\r\n");
    const std::string conf = readBytes(app / "dosbox.conf");
    const std::string end =
        "\r\n[autoexec]\r\n\r\ncls\r\nmount E E:\\ -t cdrom -ioctl\r\nmount B \"" + appWindows +
        "\"\r\nB:\r\nKELKIT.EXE ver=usa\r\nexit\r\n";
    ASSERT_GE(conf.size(), end.size());
    EXPECT_EQ(conf.substr(conf.size() - end.size()), end);
    EXPECT_EQ(h.started, std::vector<std::string>{appWindows + "\\dosbox.exe"});
    EXPECT_TRUE(h.messages.empty());
}

// The same CD as a disc image on E:, its names in lower case as on the CD.
TEST_F(KitInstall, InstallsEveryFileFromADiscImage) {
    testing::makeIso(cd, fs::path(temp.path()) / "images" / "kelplix.iso");
    testing::writeDriveMap(config, 'E', fs::path(temp.path()) / "images" / "kelplix.iso");
    KitTestHost h = host();
    EXPECT_EQ(run(h), 0);
    expectEveryFileInstalled();
    EXPECT_EQ(readBytes(app / "THEST.FUJ"), "KELPLIX\r\n");
    EXPECT_NE(readBytes(app / "dosbox.conf").find("mount E E:\\ -t cdrom -ioctl"),
              std::string::npos);
}

TEST_F(KitInstall, SecondRunCopiesNothingAndLeavesEveryFileAlone) {
    KitTestHost first = host();
    run(first);
    const auto past = fs::file_time_type::clock::now() - std::chrono::hours(24);
    for (const auto& [path, time] : modificationTimes()) fs::last_write_time(path, past);
    const auto before = modificationTimes();

    KitTestHost second = host({"mapper"});
    EXPECT_EQ(run(second), 0);
    auto after = modificationTimes();
    EXPECT_NE(after[app / "dosbox.conf"], past);  // the one file every launch writes
    after[app / "dosbox.conf"] = past;
    EXPECT_EQ(after, before);
    EXPECT_EQ(second.started, std::vector<std::string>{appWindows + "\\dosbox.exe"});
}

// A file that is not on the CD is dropped on its own: a missing file, a
// folder in its place, a link that leaves the CD (a link counts only where
// it stays on the CD). The older file stays.
TEST_F(KitInstall, AFailedCopyLeavesTheOlderFileAndNoRemnant) {
    writeBytes(app / "DATA" / "SOUND.BIN", "older sound");
    writeBytes(app / "DATA" / "LET.OBF", "older let");
    writeBytes(app / "DATA" / "AL.BIN", "older al");
    fs::remove(cd / "kit" / "data" / "sound.bin");
    fs::remove(cd / "kit" / "data" / "let.obf");
    fs::create_directory(cd / "kit" / "data" / "let.obf");  // present, but no file to read
    writeBytes(fs::path(temp.path()) / "private", "not on the CD");
    fs::remove(cd / "kit" / "data" / "al.bin");
    fs::create_symlink(fs::path(temp.path()) / "private", cd / "kit" / "data" / "al.bin");
    fs::rename(cd / "kit" / "data" / "fr.bin", cd / "fr.bin");
    fs::create_symlink("../../fr.bin", cd / "kit" / "data" / "fr.bin");

    KitTestHost h = host();
    EXPECT_EQ(run(h), 0);
    EXPECT_EQ(readBytes(app / "DATA" / "SOUND.BIN"), "older sound");
    EXPECT_EQ(readBytes(app / "DATA" / "LET.OBF"), "older let");
    EXPECT_EQ(readBytes(app / "DATA" / "AL.BIN"), "older al");
    EXPECT_EQ(readBytes(app / "DATA" / "FR.BIN"), cdContent("DATA\\FR.BIN"));
    std::set<std::string> dataFolder;
    for (const auto& entry : fs::directory_iterator(app / "DATA"))
        dataFolder.insert(entry.path().filename().string());
    EXPECT_EQ(dataFolder, (std::set<std::string>{"AL.BIN", "FR.BIN", "KITFOND.PCX", "LET.OBF",
                                                 "LET.SPR", "LET2.OBF", "LET2.SPR", "PERFECT.VIG",
                                                 "SOUND.BIN", "USA.BIN", "VERSION.BIN"}));
    EXPECT_EQ(readBytes(app / "PCMAP" / "USA" / "SNDSMP.DAT"), cdContent("PCMAP\\USA\\SNDSMP.DAT"));
    EXPECT_EQ(readBytes(app / "THEST.FUJ"), "KELPLIX\r\n");
    EXPECT_EQ(h.started.size(), 1u);
    EXPECT_TRUE(h.messages.empty());
}

// The application folder on a disk of 4 MiB that another file fills: the
// installation stops at the full disk and says so; once that file is gone,
// the next run installs every file and writes the marker.
TEST_F(KitInstall, AFolderThatFillsUpThenGetsSpaceEndsWithEveryFileAndTheMarker) {
    const auto scene = [&] {
        testing::makeKitSkeleton(app);
        writeBytes(app / "other.bin", std::string(3584 * 1024, 'o'));
        KitTestHost full = host();
        EXPECT_EQ(run(full), 1);
        EXPECT_EQ(
            full.messages.at(0).rfind("Kelmor Plix Launcher: The kit could not be installed: the "
                                      "disk that holds " +
                                          app.string() + " is full.",
                                      0),
            0u)
            << full.messages[0];
        EXPECT_FALSE(fs::exists(app / "THEST.FUJ"));
        fs::remove(app / "other.bin");
        KitTestHost freed = host();
        EXPECT_EQ(run(freed), 0);
        expectEveryFileInstalled();
        EXPECT_EQ(readBytes(app / "THEST.FUJ"), "KELPLIX\r\n");
        return ::testing::Test::HasFailure() ? 1 : 0;
    };
    const auto result = test::onDiskOfItsOwn(app.string(), 4 << 20, scene);
    if (!result)
        GTEST_SKIP() << "no disk of its own for the application folder: this system refuses a "
                        "mount namespace, or a user namespace, or a tmpfs in it";
    EXPECT_EQ(*result, 0) << "the scene's failures are above";
}

// A failure ends the run with one message and starts nothing; one of the
// installation withholds the marker, so the next run installs again. The
// report names the host's file.
TEST_F(KitInstall, AFailureEndsWithTheReportAndStartsNothing) {
    const fs::path images = fs::path(temp.path()) / "images";
    const std::string title = "Kelmor Plix Launcher: ";
    const std::string unfinished = title + "The kit could not be installed: ";
    const std::string unreadable = unfinished + "its CD cannot be read.";
    struct Case {
        const char* name;
        std::function<void(KitTestHost&)> arrange;
        std::string message, subject;  // how the message begins, and what it names
        bool installed;
    };
    const Case cases[] = {
        {"dosbox.conf not writable",
         [&](KitTestHost&) { fs::create_directory(app / "dosbox.conf"); }, title + "Error ",
         "(" + (app / "dosbox.conf").string() + ")", true},
        {"no dosbox.exe", [](KitTestHost&) {}, title + "Kelmor Plix cannot start DOSBox",
         "(" + (app / "dosbox").string() + ")", true},
        {"a folder of the kit's missing", [&](KitTestHost&) { fs::remove_all(app / "vantrel"); },
         unfinished + "Error 2: ", "(" + (app / "vantrel" / "vtr.ini").string() + ")", false},
        {"an image cut short",
         [&](KitTestHost&) {
             testing::makeIso(cd, images / "whole.iso");
             const std::string whole = readBytes(images / "whole.iso");
             writeBytes(images / "cut.iso", whole.substr(0, whole.size() - 32 * 2048));
             testing::writeDriveMap(config, 'E', images / "cut.iso");
         },
         unreadable, "Error 5: Input/output error (" + (images / "cut.iso").string() + ": ", false},
        {"the CD taken out midway",
         [&](KitTestHost& h) {
             h.beforeEachCopy = [&, copies = 0]() mutable {
                 if (++copies == 20) fs::rename(cd, images / "out");
             };
         },
         unreadable, "(" + cd.string() + "/", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove_all(app);
        testing::makeKitSkeleton(app);
        testing::writeDriveMap(config, 'E', cd);
        KitTestHost h = host();
        h.reallyStart = true;
        c.arrange(h);
        EXPECT_EQ(run(h), 1);
        ASSERT_EQ(h.messages.size(), 1u);
        EXPECT_EQ(h.messages[0].rfind(c.message, 0), 0u) << h.messages[0];
        EXPECT_NE(h.messages[0].find(c.subject), std::string::npos) << h.messages[0];
        EXPECT_EQ(fs::exists(app / "THEST.FUJ"), c.installed);
        EXPECT_TRUE(h.started.empty());
    }
}

}  // namespace
}  // namespace kelmor
