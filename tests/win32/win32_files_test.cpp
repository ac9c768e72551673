// SPDX-License-Identifier: GPL-3.0-or-later
// The Win32 host's files: probes that never raise a system box, names matched
// by the file system without regard to case, whole-file replacement, and
// text files in the ANSI code page.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/failure.hpp"
#include "core/win32/win32_error.hpp"
#include "tests/win32/win32_scene.hpp"

namespace kelmor::win32 {
namespace {

using test::Scene;

TEST(Win32Files, FileExistIsTrueForFilesOnlyAndNeverFails) {
    Scene scene;
    scene.write("app/DATA/Usa.Bin", "usa");
    scene.write("app/empty", "");
    struct Case {
        std::string path;
        bool exists;
    };
    const std::string app = scene.path("app");
    const std::vector<Case> cases = {
        {app + "\\DATA\\Usa.Bin", true},
        {app + "\\data\\USA.BIN", true},
        {app + "\\\\DATA\\usa.bin", true},
        {app + "\\empty", true},
        {app + "\\DATA", false},
        {app + "\\DATA\\FR.BIN", false},
        {app + "\\nowhere\\USA.BIN", false},
        {app + "\\DATA\\US?.BIN", false},
        {app + "\\DATA\\*", false},
        {"", false},
        {app + "\\\xff.BIN", false},     // not UTF-8
        {"E:\\KIT\\KELKIT.EXE", false},  // a CD-ROM drive without a disc
    };
    for (const Case& c : cases) EXPECT_EQ(scene.host.fileExist(c.path), c.exists) << c.path;
}

// Letters without a drive and the empty CD drive are misses, with the
// system's "no disk" box turned off for the whole process.
TEST(Win32Files, ProbesOfMissingAndEmptyDrivesAreMissesWithoutABox) {
    Scene scene;
    for (char letter = 'D'; letter <= 'Z'; ++letter) {
        const std::string probe = std::string{letter, ':'} + "\\KIT\\KELKIT.EXE";
        EXPECT_FALSE(scene.host.fileExist(probe)) << probe;
    }
    const UINT mode = SetErrorMode(0);
    SetErrorMode(mode);
    EXPECT_TRUE(mode & SEM_FAILCRITICALERRORS);
    EXPECT_TRUE(mode & SEM_NOOPENFILEERRORBOX);
}

TEST(Win32Files, NamesMatchWithoutRegardToCase) {
    Scene scene;
    scene.write("app/THEST.FUJ", "KELPLIX\r\n");
    scene.write("cd/KIT/Data/Al.Bin", "al");
    const std::string app = scene.path("app");
    EXPECT_EQ(scene.host.readFile(app + "\\thest.fuj"), "KELPLIX\r\n");
    scene.host.copyFile(scene.path("cd") + "\\kit\\DATA\\AL.BIN", app + "\\al.bin");
    scene.host.copyFile(scene.path("cd") + "\\KIT\\data\\al.bin", app + "\\AL.BIN");
    EXPECT_EQ(scene.listing("app"), "THEST.FUJ al.bin");
    scene.host.deleteFile(app + "\\Al.Bin");
    EXPECT_EQ(scene.listing("app"), "THEST.FUJ");
}

TEST(Win32Files, ACopyReplacesTheDestinationWholeAndIsWritable) {
    Scene scene;
    scene.write("cd/KIT.EXE", "new");
    scene.write("app/KIT.EXE", "an older and longer file");
    SetFileAttributesW(scene.hostPath("cd/KIT.EXE").c_str(), FILE_ATTRIBUTE_READONLY);
    scene.host.copyFile(scene.path("cd/KIT.EXE"), scene.path("app/KIT.EXE"));
    EXPECT_EQ(scene.read("app/KIT.EXE"), "new");
    EXPECT_FALSE(GetFileAttributesW(scene.hostPath("app/KIT.EXE").c_str()) &
                 FILE_ATTRIBUTE_READONLY);
    // Replaced again, as the next installation does.
    scene.host.copyFile(scene.path("cd/KIT.EXE"), scene.path("app/KIT.EXE"));
    EXPECT_EQ(scene.listing("app"), "KIT.EXE");
    // The copies reach the disk before the marker would be written; one
    // removed since is nothing to flush, a missing drive is an error.
    scene.host.copyFile(scene.path("cd/KIT.EXE"), scene.path("app/GONE.EXE"));
    scene.host.deleteFile(scene.path("app/GONE.EXE"));
    EXPECT_NO_THROW(scene.host.flushWrites(scene.path("app")));
    EXPECT_THROW(scene.host.flushWrites("Q:\\"), std::system_error);
}

// A failed copy or write leaves the older destination and no temporary file,
// and the first write into a folder removes those that a process ended
// while writing left there. A copy's failure is its source's or its
// destination's, and says whether no file is there.
TEST(Win32Files, AFailureLeavesTheOlderFile) {
    Scene scene;
    scene.write("app/dosbox.conf", "older");
    scene.write("app/kel2147483632-1.tmp", "of a process that no longer runs");
    scene.write("cd/INTRO.DAT", "intro");
    scene.write("cd/FOLDER/x", "");
    const std::string conf = scene.path("app/dosbox.conf");
    const auto failure = [&](const std::string& source,
                             const std::string& destination) -> std::string {
        try {
            scene.host.copyFile(scene.path(source), scene.path(destination));
        } catch (const SourceFailure& failure) {
            return namesNoFile(failure.code()) ? "source: no file" : "source";
        } catch (const std::system_error& failure) {
            return namesNoFile(failure.code()) ? "destination: no file" : "destination";
        }
        return "none";
    };
    EXPECT_EQ(failure("cd/MISSING.DAT", "app/dosbox.conf"), "source: no file");
    EXPECT_EQ(failure("cd/NOWHERE/INTRO.DAT", "app/dosbox.conf"), "source: no file");
    EXPECT_EQ(failure("cd/FOLDER", "app/dosbox.conf"), "source: no file");
    EXPECT_EQ(failure("cd/INTRO.DAT", "app/NOWHERE/INTRO.DAT"), "destination: no file");
    {
        // Open elsewhere without sharing: the rename cannot replace it.
        const HANDLE held = CreateFileW(scene.hostPath("app/dosbox.conf").c_str(), GENERIC_READ, 0,
                                        nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(held, INVALID_HANDLE_VALUE);
        EXPECT_THROW(scene.host.replaceFile(conf, "newer"), std::system_error);
        EXPECT_EQ(failure("cd/INTRO.DAT", "app/dosbox.conf"), "destination");
        CloseHandle(held);
    }
    EXPECT_EQ(scene.read("app/dosbox.conf"), "older");
    EXPECT_EQ(scene.listing("app"), "dosbox.conf");
    try {
        scene.host.replaceFile(scene.path("app/vantrel/vtr.ini"), "[OSD]\r\n");
        ADD_FAILURE() << "wrote into a missing folder";
    } catch (const std::system_error& error) {
        EXPECT_NE(std::string(error.what()).find("vtr.ini"), std::string::npos) << error.what();
    }
    try {
        scene.host.deleteFile(scene.path("app/KELMOR.INI"));
        ADD_FAILURE() << "deleted a missing file";
    } catch (const std::system_error& error) {
        EXPECT_EQ(error.code(), std::errc::no_such_file_or_directory) << error.what();
    }
}

// A full disk is told by its Windows numbers; numbers that coincide with
// other errno values (21 is EISDIR's, 28 ENOSPC's) mean what Windows says.
// (Not found is told by the copies above.)
TEST(Win32Files, ErrorNumbersMeanAFullDiskAsWindowsSays) {
    for (const DWORD number :
         {ERROR_DISK_FULL, ERROR_HANDLE_DISK_FULL, ERROR_NOT_READY, ERROR_OUT_OF_PAPER}) {
        const std::error_code error(static_cast<int>(number), windowsCategory());
        EXPECT_EQ(meansDiskFull(error),
                  number == ERROR_DISK_FULL || number == ERROR_HANDLE_DISK_FULL)
            << number;
        EXPECT_FALSE(namesNoFile(error)) << number;
    }
}

// Text files are 8-bit in the ANSI code page (1252 in the test prefix); a
// character it cannot hold is refused, never written as "?".
TEST(Win32Files, TextFilesAreInTheAnsiCodePage) {
    if (GetACP() != 1252) GTEST_SKIP() << "ANSI code page " << GetACP() << ", not 1252";
    Scene scene;
    const std::string conf = scene.path("app/dosbox.conf");
    scene.host.replaceFile(conf, "MOUNT B \"C:\\Spiele\\K\xc3\xa9lmor \xe2\x82\xac\"\r\n");
    EXPECT_EQ(scene.read("app/dosbox.conf"), "MOUNT B \"C:\\Spiele\\K\xe9lmor \x80\"\r\n");
    EXPECT_EQ(scene.host.readFile(conf), "MOUNT B \"C:\\Spiele\\K\xc3\xa9lmor \xe2\x82\xac\"\r\n");

    for (const std::string refused : {"\xd0\x96", "\xe4\xb8\x96", "\xc4\x8d", "\xff"}) {
        try {
            scene.host.replaceFile(conf, "cycles=" + refused + "\r\n");
            ADD_FAILURE() << "wrote " << refused;
        } catch (const std::system_error& error) {
            EXPECT_EQ(error.code().value(), ERROR_NO_UNICODE_TRANSLATION);
            EXPECT_NE(std::string(error.what()).find("dosbox.conf"), std::string::npos);
        }
        EXPECT_EQ(scene.read("app/dosbox.conf"), "MOUNT B \"C:\\Spiele\\K\xe9lmor \x80\"\r\n");
    }
    EXPECT_EQ(scene.listing("app"), "dosbox.conf");
}

}  // namespace
}  // namespace kelmor::win32
