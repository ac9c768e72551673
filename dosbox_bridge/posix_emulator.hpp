// SPDX-License-Identifier: GPL-3.0-or-later
// How the bridge calls its emulator (which one: core/linux_emulators).
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kelmor::bridge {

// True when the process `id` is this process or one of its ancestors. The
// bridge hands its own id to the emulator it starts; a bridge that finds
// that id above itself was started by its own "emulator": a copy of the
// bridge, or a wrapper that runs one.
bool isThisProcessOrAnAncestor(long id);

// What the bridge hands the emulator in place of a configuration file: its
// translated copy, or nothing to pass the file on as it was named.
using ConfigurationCopier = std::function<std::optional<std::string>(const std::string& file)>;

// The configuration the emulator reads when it is given none.
inline constexpr std::string_view kDefaultConfiguration = "dosbox.conf";

// The emulator's arguments behind its name: the bridge's own in order,
// without "-noconsole" (any letter case), which only the Windows build
// knows, and with the file behind each "-conf" (any letter case) replaced by
// its copy. The emulator reads only the files named so; without any, it
// would read dosbox.conf in its working folder, so "-conf" and the copy of
// that come first, when there is one.
std::vector<std::string> emulatorArguments(const std::vector<std::string>& bridgeArguments,
                                           const ConfigurationCopier& copyOf);

}  // namespace kelmor::bridge
