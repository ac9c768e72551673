// SPDX-License-Identifier: GPL-3.0-or-later
#include "dosbox_bridge/mount_check.hpp"

#include <gtest/gtest.h>

namespace kelmor::bridge {
namespace {

// E: a folder, I: an image; every other drive stays as written.
std::optional<HostMount> mapForTest(std::string_view path) {
    if (path[0] == 'E') return HostMount{"/media/cd"};
    if (path[0] == 'I')
        return HostMount{"/run/kelmor-1000/0123-42.cue", true, "/home/ann/kelmor.cue"};
    return std::nullopt;
}

// What the kit launcher writes: two mounts, then the kit's program.
constexpr std::string_view kKit =
    "[dos]\r\nxms=true\r\n\r\n[autoexec]\r\n\r\nmount L E:\\ -t cdrom\r\nMOUNT B \"C:\\kit\"\r\n"
    "B:\r\nKELKIT.EXE ver=usa\r\nexit\r\n";

TEST(MountCheck, RunsAfterTheLastMountBeforeAnyProgram) {
    const auto translation = translateMountPaths(kKit, mapForTest);
    EXPECT_EQ(withMountCheck(translation, 'X', "\"/run/kelmor-1000/x.d\""),
              "[dos]\r\nxms=true\r\n\r\n[autoexec]\r\n\r\nmount L \"/media/cd\" -t cdrom\r\n"
              "MOUNT B \"C:\\kit\"\r\n"
              "@MOUNT X \"/run/kelmor-1000/x.d\" >NUL\r\n"
              "@IF NOT EXIST L:\\NUL ECHO L>>X:\\REFUSED.TXT\r\n"
              "@IF NOT EXIST B:\\NUL ECHO B>>X:\\REFUSED.TXT\r\n"
              "@MOUNT -u X >NUL\r\n"
              "B:\r\nKELKIT.EXE ver=usa\r\nexit\r\n");
}

TEST(MountCheck, WhatTheLinesAskForAndWhatIsTold) {
    struct Case {
        const char* what;
        const char* autoexec;
        const char* report;
        std::optional<char> reportDrive;
        const char* told;  // the refused mounts as the player is told them
    };
    const Case cases[] = {
        {"the image, by the player's name for it", "MOUNT E I:\\ -t cdrom\nmount B \"C:\\a b\"\n",
         "E\r\n", 'X', "E: (the image /home/ann/kelmor.cue)"},
        {"a folder as mapped, a drive told once", "MOUNT E E:\\\nMOUNT E E:\\\n", "E\r\nE\r\n", 'X',
         "E: (the folder /media/cd)"},
        {"two refused, as the lines asked", "MOUNT B C:\\save\nmount e E:\\\n", "E\r\nB\r\n", 'X',
         "B: (the folder C:\\save) and E: (the folder /media/cd)"},
        {"nothing refused", "MOUNT E E:\\\n", "", 'X', ""},
        {"a report line that names no asked drive", "MOUNT E E:\\\n", "Q\r\nEE\r\n", 'X', ""},
        {"unmounting asks for nothing", "MOUNT -u E\n", "E\n", 'X', ""},
        {"X: taken, W: holds the report", "MOUNT X E:\\\n", "", 'W', ""},
    };
    for (const Case& c : cases) {
        const auto translation =
            translateMountPaths(std::string("[autoexec]\n") + c.autoexec, mapForTest);
        EXPECT_EQ(reportDrive(translation.mounts), c.reportDrive) << c.what;
        EXPECT_EQ(describeMounts(refusedMounts(c.report, translation.mounts)), c.told) << c.what;
    }
}

TEST(MountCheck, NoMountNoCheck) {
    const auto translation = translateMountPaths("[autoexec]\r\nexit\r\n", mapForTest);
    EXPECT_EQ(withMountCheck(translation, 'X', "\"/x\""), "[autoexec]\r\nexit\r\n");
    std::vector<AskedMount> all;
    for (char drive = 'D'; drive <= 'X'; ++drive) all.push_back({drive, "/x", false});
    EXPECT_EQ(reportDrive(all), std::nullopt);
}

TEST(MountCheck, ALastMountWithoutALineEndGetsOne) {
    const auto translation = translateMountPaths("[autoexec]\r\nMOUNT E E:\\", mapForTest);
    EXPECT_EQ(withMountCheck(translation, 'X', "\"/x\""),
              "[autoexec]\r\nMOUNT E \"/media/cd\"\r\n@MOUNT X \"/x\" >NUL\r\n"
              "@IF NOT EXIST E:\\NUL ECHO E>>X:\\REFUSED.TXT\r\n@MOUNT -u X >NUL\r\n");
}

}  // namespace
}  // namespace kelmor::bridge
