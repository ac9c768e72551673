// SPDX-License-Identifier: GPL-3.0-or-later
// A CD that is a disc image beside the programs (Host::driveImage()), as the
// emulator is to mount it. The emulator mounts a cue sheet only when it
// finds and can read every file the sheet names, and plays only the audio
// it can decode; so the launchers check a sheet as the emulator at hand
// will read it (image_check.hpp). Where it could not mount the sheet as it
// is, they write one that it can beside dosbox.conf, "<name>.dosbox.cue"
// (each file named by its full path, what it cannot play left out), mount
// that one instead, and remark on what it left out or declares otherwise
// just before the mount, where the emulator's shell shows its lines. A
// launch whose sheet serves as it is removes such a sheet of an earlier
// launch. The sheet itself is never changed.
#pragma once

#include <string>
#include <string_view>

#include "core/cd_search.hpp"

namespace kelmor {

class Host;

inline constexpr std::string_view kEmulatorSheetSuffix = ".dosbox.cue";

// The sheet written in place of the cue sheet at `image`, in the
// application folder: "C:\Kit\Kelmor.cue" gives "C:\Kit\Kelmor.dosbox.cue".
std::string emulatorSheetPath(const std::string& applicationFolder, const std::string& image);

// Whether a file's name is that of such a sheet (".dosbox.cue" in any letter
// case): the launchers' own, no CD image of its own.
bool isEmulatorSheetFileName(std::string_view name);

// Where the CD is a cue sheet: checks it, writes or removes the sheet
// written in its place, and sets what the CD's mount hands the emulator and
// remarks on. A sheet that cannot be written leaves the image to be mounted
// as it is, with a remark that says why. Nothing here fails.
void prepareImageMount(Host& host, CdLocation& cd);

}  // namespace kelmor
