// SPDX-License-Identifier: GPL-3.0-or-later
// How the emulator is set up for the kit's DOS programs, the kit itself and
// its map editor alike: from the kit's settings, with the application
// folder as drive B:.
#pragma once

#include <string>
#include <string_view>

namespace kelmor {

// The [autoexec] line that mounts the application folder as DOS drive B:,
// from which the kit's programs run.
std::string applicationFolderMount(const std::string& applicationFolder);

}  // namespace kelmor
