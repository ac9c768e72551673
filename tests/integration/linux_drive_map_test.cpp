// SPDX-License-Identifier: GPL-3.0-or-later
// The drive map and the mapping of Windows paths onto host folders.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "core/application_folder.hpp"
#include "core/posix_files/posix_config_folder.hpp"
#include "core/linux_drives/linux_drive_map.hpp"
#include "core/posix/posix_host.hpp"
#include "core/linux_drives/linux_windows_path.hpp"
#include "tests/support/temp_folder.hpp"

namespace kelmor::linux_drives {
namespace {

using test::TempFolder;

// "D=/x;E=/y;" for the letters D to Z that have a folder.
std::string describe(const DriveMap& map) {
    std::string text;
    for (char letter = 'D'; letter <= 'Z'; ++letter) {
        if (const auto root = map.root(letter)) text += std::string(1, letter) + "=" + *root + ";";
    }
    return text;
}

const std::string kDiscs =
    "/dev/sr0 /media/a iso9660 ro 0 0\n/dev/sda1 / ext4 rw 0 0\n"
    "/dev/sr1 /media/b udf ro 0 0\ntmpfs /run tmpfs rw 0 0\n/dev/sr2 /media/c iso9660 ro 0 0\n";

TEST(DriveMapParse, MapsLettersFromTheFileAndTheMountedDiscs) {
    struct Case {
        const char* name;
        std::string driveMap, mounts, expected;
    };
    const std::vector<Case> cases = {
        {"good lines, either case, inner blanks", "[drives]\nE=/media/ann/CD\nf = /mnt/My Disc \n",
         "", "E=/media/ann/CD;F=/mnt/My Disc;"},
        {"line without =", "[drives]\nE /media/cd\nG=/g\n", "", "G=/g;"},
        {"relative folder", "[drives]\nE=media/cd\nF=./cd\n", "", ""},
        {"letters outside D..Z", "[drives]\nA=/a\nB=/b\n1=/x\nEE=/x\n", "", ""},
        {"C: cannot be mapped", "[drives]\nC=/elsewhere\n", "", ""},
        {"empty values", "[drives]\nE=\nF=   \n", "", ""},
        {"entries outside [drives]", "E=/top\n[other]\nF=/f\n", "", ""},
        {"first line naming a letter wins", "[drives]\nE=/one\ne=/two\n", "", "E=/one;"},
        {"slashes tidied, CR LF", "[DRIVES]\r\nE=/media//cd/\r\nF=/\r\n", "", "E=/media/cd;F=/;"},
        {"garbage around", "\x01\x02\n[drives\nE=/x\n[drives]\n==\nF=/f\n", "", "F=/f;"},
        {"discs fill free letters from D", "[drives]\nD=/d\nF=/f\n", kDiscs,
         "D=/d;E=/media/a;F=/f;G=/media/b;H=/media/c;"},
        {"a bad line leaves its letter free", "[drives]\nD=rel\n", kDiscs,
         "D=/media/a;E=/media/b;F=/media/c;"},
        {"a mapped disc is not given twice", "[drives]\nE=/media/b\n", kDiscs,
         "D=/media/a;E=/media/b;F=/media/c;"},
        {"octal escapes", "", "/dev/sr0 /media/KELMOR\\040CD\\011x\\134y iso9660 ro 0 0\n",
         "D=/media/KELMOR CD\tx\\y;"},
        {"detect=no", "[options]\ndetect=no\n", kDiscs, ""},
        {"detect = NO", "[Options]\n Detect = NO \n[drives]\nE=/e\n", kDiscs, "E=/e;"},
        {"detect=yes", "[options]\ndetect=yes\n", kDiscs, "D=/media/a;E=/media/b;F=/media/c;"},
        {"quotes, blanks and ~/ as meant",
         "[drives]\nE = \"/home/ann/My CDs/kelmor.iso\"\nF=~/cds/kit.cue\nG = \" ~/x "
         "\"\nH=~\nI=\"\"\n",
         "", "E=/home/ann/My CDs/kelmor.iso;F=/home/ann/cds/kit.cue;H=/home/ann;"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(describe(DriveMap::parse(c.driveMap, c.mounts, {"/home/ann", {}})), c.expected);
    }
    const DriveMap beside = DriveMap::parse("[drives]\nD=/d\nF=/app/b.iso\n", kDiscs,
                                            {"", {"/app/a.cue", "/app/b.iso", "/app/c.iso"}});
    EXPECT_EQ(describe(beside),
              "D=/d;E=/media/a;F=/app/b.iso;G=/media/b;H=/media/c;I=/app/a.cue;J=/app/c.iso;");
    EXPECT_EQ(beside.source('f'), DriveSource::DriveMap);
    EXPECT_EQ(beside.source('E'), DriveSource::MountedDisc);
    EXPECT_EQ(beside.source('J'), DriveSource::ImageBeside);
    EXPECT_EQ(beside.source('K'), std::nullopt);
    const DriveMap map =
        DriveMap::parse("[drives]\nC=/x\n[options]\nEmulator = /bin/dosbox -x \n", "");
    EXPECT_EQ(map.root('c'), "/");
    EXPECT_EQ(map.root('A'), std::nullopt);
    EXPECT_EQ(map.option("EMULATOR"), "/bin/dosbox -x");
    EXPECT_EQ(map.option("detect"), std::nullopt);
}

TEST(DriveMapParse, SetsAsideTheLinesItCannotUseWithTheReason) {
    const DriveMap map = DriveMap::parse(
        "[drives]\nE=cds/kelmor.iso\nC=/c\nAB=/x\nF=\nG=/g\ng=/other\nH=~/x\n[other]\nQ=rel\n", "");
    std::string shown;
    for (const UnusableDriveLine& line : map.unusableLines())
        shown += line.key + "=" + line.value + ": " + line.why + "\n";
    EXPECT_EQ(shown,
              "E=cds/kelmor.iso: \"cds/kelmor.iso\" is a relative path; start it with / or ~/\n"
              "C=/c: C: is always the root folder /\n"
              "AB=/x: \"AB\" is no drive letter from D to Z\n"
              "F=: it names no folder or image\n"
              "g=/other: G: is named on an earlier line\n"
              "H=~/x: no home folder is known for ~\n");
}

TEST(DriveMapLoad, AnUnreadableFileMeansNoMappedDrivesButDetectionStillRuns) {
    TempFolder temp;
    temp.makeFolder("drives.ini");  // a folder cannot be read as a file, even by root
    temp.write("good.ini", "[drives]\nE=/e\n");
    temp.write("mounts", "/dev/sr0 /media/disc iso9660 ro 0 0\n");
    ASSERT_EQ(mkfifo(temp.path("fifo.ini").c_str(), 0600), 0);
    temp.sparse("huge.ini", std::uintmax_t{64} << 30);
    EXPECT_EQ(describe(DriveMap::load(temp.path("drives.ini"), temp.path("mounts"))),
              "D=/media/disc;");
    EXPECT_EQ(describe(DriveMap::load(temp.path("huge.ini"), temp.path("mounts"))),
              "D=/media/disc;");
    alarm(10);  // a FIFO that were opened for reading would wait for a writer for good
    EXPECT_EQ(describe(DriveMap::load(temp.path("fifo.ini"), temp.path("mounts"))),
              "D=/media/disc;");
    alarm(0);
    EXPECT_EQ(describe(DriveMap::load(temp.path("good.ini"), temp.path("mounts"))),
              "D=/media/disc;E=/e;");
    EXPECT_EQ(describe(DriveMap::load(temp.path("missing.ini"), temp.path("missing"))), "");
}

TEST(WindowsPathSplit, SkipsEmptyAndDotComponentsAndClimbsLexically) {
    using Parts = std::vector<std::string>;
    struct Case {
        std::string text;
        std::optional<char> drive;
        Parts components;
    };
    const std::vector<Case> cases = {
        {"E:\\KELMOR\\VIGNET.DAT", 'E', {"KELMOR", "VIGNET.DAT"}},
        {"f:\\\\INTRO.DAT", 'F', {"INTRO.DAT"}},
        {"C:\\a\\.\\b\\..\\c\\", 'C', {"a", "c"}},
        {"C:\\..\\..\\x", 'C', {"x"}},
        {"C:/a/b", 'C', {"a", "b"}},
        {"C:a", 'C', {"a"}},
        {"C:", 'C', {}},
        {"\\\\server\\share", std::nullopt, {}},
        {"\\KELMOR.INI", std::nullopt, {}},
        {"KELMOR.INI", std::nullopt, {}},
        {"1:\\x", std::nullopt, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const auto split = splitWindowsPath(c.text);
        ASSERT_EQ(split.has_value(), c.drive.has_value());
        if (split) {
            EXPECT_EQ(split->drive, *c.drive);
            EXPECT_EQ(split->components, c.components);
        }
    }
}

TEST(WindowsPathResolve, MatchesEachComponentWithoutRegardToCaseAnExactNameWinning) {
    TempFolder temp;
    temp.write("cd root/KELMOR/VIGNET.DAT", "");
    temp.write("cd root/intro.dat", "");
    temp.write("cd root/INTRO.DAT", "");
    const std::string cd = temp.path("cd root");
    const DriveMap drives = DriveMap::parse("[drives]\nE=" + cd + "\n", "");
    const auto resolve = [&](const std::string& path, PathUse use) {
        std::error_code error;
        const auto host = resolveWindowsPath(drives, path, use, error);
        if (!host) return "error " + error.message();
        return host->rfind(cd, 0) == 0 ? "E" + host->substr(cd.size()) : *host;
    };
    const auto failure = [](std::errc code) {
        return "error " + std::make_error_code(code).message();
    };
    const std::string missing = failure(std::errc::no_such_file_or_directory);
    struct Case {
        std::string path;
        PathUse use;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {"E:\\KELMOR\\VIGNET.DAT", PathUse::Existing, "E/KELMOR/VIGNET.DAT"},
        {"e:\\kelmor\\vignet.dat", PathUse::Existing, "E/KELMOR/VIGNET.DAT"},
        {"E:\\\\KELMOR\\\\VIGNET.DAT", PathUse::Existing, "E/KELMOR/VIGNET.DAT"},
        {"E:\\..\\KELMOR\\..\\kelmor\\.\\Vignet.Dat", PathUse::Existing, "E/KELMOR/VIGNET.DAT"},
        {"E:\\intro.dat", PathUse::Existing, "E/intro.dat"},
        {"E:\\INTRO.DAT", PathUse::Existing, "E/INTRO.DAT"},
        {"E:\\Intro.Dat", PathUse::Existing, "E/INTRO.DAT"},  // several: the first in byte order
        {"E:\\", PathUse::Existing, "E"},
        {windowsPathOfHostPath(cd + "/kelmor"), PathUse::Existing,
         "E/KELMOR"},  // C: is the host root
        {"E:\\KELMOR\\MISSING.DAT", PathUse::Existing, missing},
        {"E:\\NOFOLDER\\VIGNET.DAT", PathUse::Existing, missing},
        {"E:\\KELMOR\\VIGNET.DAT\\X", PathUse::Existing, failure(std::errc::not_a_directory)},
        {"F:\\KELMOR\\VIGNET.DAT", PathUse::Existing, missing},
        {"KELMOR\\VIGNET.DAT", PathUse::Existing, missing},
        {"E:\\kelmor\\NEW.DAT", PathUse::Destination, "E/KELMOR/NEW.DAT"},
        {"E:\\kelmor\\vignet.dat", PathUse::Destination, "E/KELMOR/VIGNET.DAT"},
        {"E:\\nofolder\\NEW.DAT", PathUse::Destination, missing},
        {"E:\\kelmor\\SaveGame\\x", PathUse::Lenient, "E/KELMOR/SaveGame/x"},
        {"F:\\x", PathUse::Lenient, missing},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(resolve(c.path, c.use), c.expected);
    }
}

TEST(PosixHostPaths, ApplicationFolderIsOnDriveCWithoutTrailingBackslash) {
    TempFolder temp;
    temp.write("My Kelmor/kelmor.exe", "");
    for (const std::string& given : {temp.path("My Kelmor"), temp.path("My Kelmor/./sub/../")}) {
        posix::PosixHostOptions options;
        options.applicationFolder = given;
        posix::PosixHost host(options);
        EXPECT_EQ(host.applicationFolder(), windowsPathOfHostPath(temp.path("My Kelmor")));
        EXPECT_EQ(host.applicationFolder().substr(host.applicationFolder().size() - 10),
                  "\\My Kelmor");
        EXPECT_TRUE(host.fileExist(host.applicationFolder() + "\\KELMOR.EXE"));
    }
    posix::PosixHost running{posix::PosixHostOptions{}};
    const auto program = std::filesystem::canonical("/proc/self/exe");
    EXPECT_EQ(running.applicationFolder(), windowsPathOfHostPath(program.parent_path().string()));
    EXPECT_EQ(windowsPathOfHostPath("/"), "C:");
}

// A folder whose Windows path would stand for another folder, or break the
// lines of dosbox.conf, is refused with a report before anything is read.
TEST(PosixHostPaths, AnApplicationFolderThatCannotBeAWindowsPathIsRefused) {
    struct Case {
        std::string folder;
        std::string reason;
    };  // empty: usable
    const std::vector<Case> cases = {
        {"/tmp/w/x\\y", "a backslash"},
        {"/tmp/w/x\ny", "a line end"},
        {"/tmp/w/x\ry", "a line end"},
        {"/tmp/w/x\"y", "a double quote"},
        {"/home/ann/My Games (output) 100%;\t\xc3\xa9", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.folder);
        struct Refused {
            int code;
        };
        struct RefusingHost : posix::PosixHost {
            using posix::PosixHost::PosixHost;
            [[noreturn]] void endProcess(int code) override { throw Refused{code}; }
        } host(
            posix::PosixHostOptions{.applicationFolder = c.folder, .configHome = "/nonexistent"});
        std::vector<std::string> shown;
        host.setMessagePresenter(
            [&](const std::string& text, MessageStyle style, const std::string& title) {
                shown.push_back(title + "|" + std::to_string(static_cast<int>(style)) + "|" + text);
            });
        int code = 0;
        try {
            refuseUnusableApplicationFolder(host, "Kelmor for Windows");
        } catch (const Refused& refused) {
            code = refused.code;
        }
        if (c.reason.empty()) {
            EXPECT_EQ(code, 0);
            EXPECT_TRUE(shown.empty());
            continue;
        }
        EXPECT_EQ(code, kRefusedFolderExitCode);
        ASSERT_EQ(shown.size(), 1u);
        std::string named = c.folder;
        std::replace(named.begin(), named.end(), '\n', '?');
        std::replace(named.begin(), named.end(), '\r', '?');
        const std::string report =
            "Kelmor for Windows|16|The Kelmor programs cannot run from the folder \"" + named +
            "\": its name holds " + c.reason;
        EXPECT_EQ(shown[0].rfind(report, 0), 0u) << shown[0];
        EXPECT_NE(shown[0].find("Move the programs to another folder, or rename this one."),
                  std::string::npos);
    }
}

TEST(PosixHostPaths, DriveMapComesFromTheConfigFolderAndIsReadOnce) {
    TempFolder temp;
    temp.write("disc/KIT/KELKIT.EXE", "");
    temp.write("mounts", "/dev/sr0 " + temp.path("disc") + " udf ro 0 0\n");
    posix::PosixHostOptions options;
    options.applicationFolder = temp.path();
    options.configHome = temp.path("config");
    options.mountsFile = temp.path("mounts");
    posix::PosixHost host(options);
    EXPECT_EQ(host.kitConfigFolder(), temp.path("config/kelmor"));
    EXPECT_TRUE(host.fileExist("d:\\kit\\kelkit.exe"));

    temp.write("config/kelmor/drives.ini", "[drives]\nE=" + temp.path("disc") + "\n");
    EXPECT_FALSE(host.fileExist("E:\\kit\\kelkit.exe")) << "read on first use only";
    posix::PosixHost fresh(options);
    EXPECT_TRUE(fresh.fileExist("E:\\kit\\kelkit.exe"));
    EXPECT_EQ(fresh.hostPath("e:\\KIT\\new\\x"), temp.path("disc/KIT/new/x"));
    EXPECT_EQ(fresh.hostPath("Q:\\x"), std::nullopt);
}

TEST(ConfigFolder, FollowsXdgConfigHomeWhenAbsolute) {
    const auto keep = [](const char* name) {
        const char* value = std::getenv(name);
        return value ? std::optional<std::string>(value) : std::nullopt;
    };
    const auto home = keep("HOME"), xdg = keep("XDG_CONFIG_HOME");
    setenv("HOME", "/home/ann", 1);
    struct Case {
        const char* configured;
        const char* xdg;
        std::string expected;
    };
    for (const Case& c : std::vector<Case>{{"/given", "/xdg", "/given"},
                                           {"", "/xdg", "/xdg"},
                                           {"", "relative", "/home/ann/.config"},
                                           {"", "", "/home/ann/.config"},
                                           {"", nullptr, "/home/ann/.config"}}) {
        c.xdg ? setenv("XDG_CONFIG_HOME", c.xdg, 1) : unsetenv("XDG_CONFIG_HOME");
        EXPECT_EQ(posix_files::userConfigHome(c.configured), c.expected)
            << (c.xdg ? c.xdg : "unset");
    }
    home ? setenv("HOME", home->c_str(), 1) : unsetenv("HOME");
    xdg ? setenv("XDG_CONFIG_HOME", xdg->c_str(), 1) : unsetenv("XDG_CONFIG_HOME");
}

}  // namespace
}  // namespace kelmor::linux_drives
