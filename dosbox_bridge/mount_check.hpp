// SPDX-License-Identifier: GPL-3.0-or-later
// Which of the drives the launchers asked for the emulator refused to
// mount. DOSBox says so only in words of its own: 0.74 on its DOS screen,
// which no log keeps ("Could not load image file"), Staging in its log. So
// the bridge asks the emulator's shell itself: after the last mount line of
// [autoexec] its copy mounts a folder of the bridge's on a drive that no
// line asks for, writes the letter of each asked drive that does not exist
// into a file there, and unmounts that drive again, before any program of
// the game or the kit runs. The lines begin with '@', so that a shell that
// echoes its commands shows none of them.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "dosbox_bridge/mount_translation.hpp"

namespace kelmor::bridge {

// The file in the bridge's folder that names the refused drives.
inline constexpr std::string_view kRefusedMountsFile = "REFUSED.TXT";

// The drive for the bridge's folder: the last letter from X down to D that
// no line asks for (Y and Z are the emulators' own: DOSBox Staging's tools,
// DOSBox's shell); nothing when every one is taken.
std::optional<char> reportDrive(const std::vector<AskedMount>& mounts);

// The translated configuration with the check behind the line of its last
// mount; as it was when it mounts nothing. `folderArgument` is the bridge's
// folder as a MOUNT argument (mountFolderArgument()).
std::string withMountCheck(const MountTranslation& translation, char drive,
                           std::string_view folderArgument);

// The asked mounts that the report names, each drive once, in the order
// the lines asked for them (a drive asked for twice: the last line's).
std::vector<AskedMount> refusedMounts(std::string_view report,
                                      const std::vector<AskedMount>& mounts);

// "E: (the image /home/ann/cds/Kelmor.cue)", "E: (the folder /media/cd)
// and B: (the folder ...)".
std::string describeMounts(const std::vector<AskedMount>& mounts);

}  // namespace kelmor::bridge
