// SPDX-License-Identifier: GPL-3.0-or-later
// The player's own DOSBox configuration, dosbox-user.conf, which the Linux
// bridge hands the emulator after the kit's configuration: DOSBox applies
// a later file over an earlier one, so whatever it sets of the settings the
// configuration dialog writes wins over the dialog's choice. The dialog
// says so; the host reads the file.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kelmor {

inline constexpr std::string_view kUserConfigurationName = "dosbox-user.conf";

// The settings of the dialog's (the display's and the CPU's) that a DOSBox
// configuration text sets, by the names it sets them under, in any DOSBox's
// words ("cycles", DOSBox Staging's "cpu_cycles"), in the dialog's order.
// A setting without a value sets nothing.
std::vector<std::string> settingsOverridden(std::string_view configuration);

// The line the dialog shows for the player's configuration at `path`:
// "Your dosbox-user.conf sets fullscreen and cycles; its values win: <path>";
// empty when it sets none of the dialog's settings.
std::string overridesNotice(std::string_view configuration, std::string_view path);

}  // namespace kelmor
