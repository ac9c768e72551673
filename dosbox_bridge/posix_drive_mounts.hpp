// SPDX-License-Identifier: GPL-3.0-or-later
// What the drive-letter path of a MOUNT stands for on this host, through
// the user's drives (core/linux_drives/linux_drives.hpp): the disc image its drive
// holds, mounted whole, from its root; else its folder. The emulator mounts
// an image only when it can read it, and a cue sheet only when it finds and
// can read every file the sheet names: an image is checked as the emulator
// at hand reads it (core/image_check.hpp), and a sheet it could not mount as
// it is gets one of the bridge's own, written privately for this start.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/emulator_dialect.hpp"
#include "dosbox_bridge/mount_translation.hpp"

namespace kelmor::linux_drives {
class Drives;
}  // namespace kelmor::linux_drives

namespace kelmor::bridge {

// The host folder or image of a drive-letter path; nothing for a drive that
// is not mapped, a path below an image's root, or an image without a disc.
// Each of those on an image, and each track of a sheet that the bridge's
// own declares otherwise or leaves out, adds a line to `problems`.
std::optional<HostMount> hostMount(const linux_drives::Drives& drives, EmulatorDialect emulator,
                                   std::string_view drivePath, std::vector<std::string>& problems);

}  // namespace kelmor::bridge
