// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/kit_emulator.hpp"

#include "core/dosbox_config.hpp"

namespace kelmor {

std::string applicationFolderMount(const std::string& applicationFolder) {
    return "mount B " + mountFolderArgument(applicationFolder);
}

}  // namespace kelmor
