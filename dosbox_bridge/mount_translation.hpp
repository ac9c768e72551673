// SPDX-License-Identifier: GPL-3.0-or-later
// The host folders and disc images of the MOUNT commands in a dosbox.conf.
//
// The launchers write drive-letter paths into [autoexec]
// ("MOUNT E E:\ -t cdrom -usecd 0 -ioctl", MOUNT B "C:\...\SAVEGAME"). An
// emulator that runs natively on the host needs host folders there.
// translateMountPaths() rewrites exactly the host-path argument of each MOUNT
// command in [autoexec] whose path stands for a folder, and the whole line
// of one whose path stands for a disc image: that line becomes the
// emulator's image mount, IMGMOUNT <drive> "<image>" -t iso
// (imageMountLine() in core/dosbox_config.hpp), which also serves the audio
// tracks of a cue sheet. Every other byte of the
// configuration passes as it is. It also tells which drives the MOUNT and
// IMGMOUNT lines ask for, and from what, so that a drive the emulator
// refuses can be named.
//
// How the text is read, the way the emulator reads it:
//  - A line ends at LF; a CR before the LF belongs to the line end.
//  - A line whose first non-blank character is '[' and that holds a ']' opens
//    the section named by the text between them; [autoexec] is matched
//    without regard to letter case, and only its lines are looked at.
//  - A MOUNT command is a line whose first word, an '@' before it allowed, is
//    MOUNT in any letter case. Words are separated by blanks (space, tab); a
//    word that begins with '"' runs to the next '"' (or the line's end).
//  - Words beginning with '-' are options; -t, -size, -label, -usecd and
//    -freesize take the word after them as their value. Of the other words the
//    first is the DOS drive and the second the host path.
//  - A host path that is a drive-letter path (core/drive_path.hpp) is mapped, read
//    as the emulator's batch processing reads it: each "%%" one '%' (the
//    launchers double a folder's '%' for it). Its new text is always in
//    double quotes, so that no character of it ('<', '>', '|', blanks) means
//    anything to the emulator's shell, and each '%' is doubled again, since
//    the batch processing would take a single one for the start of a
//    variable. A path that the mapper leaves unmapped, and any other host
//    path, stays as it was.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kelmor::bridge {

// What a drive-letter path stands for on the host: a folder, which MOUNT
// takes, or a disc image, which IMGMOUNT takes.
struct HostMount {
    std::string path;
    bool image = false;
    // What the player knows it as, where that is not `path` (the image whose
    // sheet the bridge hands over in its own copy).
    std::string shown{};
};

// A drive that a MOUNT or IMGMOUNT line of [autoexec] asks the emulator
// for, and what the player knows it by: the host folder or image it was
// mapped to, else the path as the line gives it.
struct AskedMount {
    char drive = 0;  // in upper case
    std::string source;
    bool image = false;
};

// The host folder or image of a drive-letter path; nothing to leave the line
// as it is (a drive that is not mapped, or holds no disc).
using PathMapper = std::function<std::optional<HostMount>(std::string_view drivePath)>;

struct MountTranslation {
    std::string text;
    // One line for each MOUNT whose mapped folder or image cannot be written
    // on the emulator's command line (it holds a '"', or a control character
    // but a tab, which the emulator drops; a line end among them); such a
    // line stays as it was.
    std::vector<std::string> problems;
    // Every drive that [autoexec] mounts, in its order, and where in `text`
    // the line of the last one ends (0 when none).
    std::vector<AskedMount> mounts;
    std::size_t afterLastMount = 0;
};

MountTranslation translateMountPaths(std::string_view configuration, const PathMapper& mapPath);

// A host path as a MOUNT or IMGMOUNT argument: in double quotes, each '%'
// doubled; nothing for a path that holds a '"' or a control character but
// a tab, which no argument can carry.
std::optional<std::string> mountArgument(std::string_view hostPath);

}  // namespace kelmor::bridge
