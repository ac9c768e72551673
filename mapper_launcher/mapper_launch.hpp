// SPDX-License-Identifier: GPL-3.0-or-later
// The mapper launcher's whole work: open the kit's map editor, itself when
// the kit is installed, otherwise through the kit launcher, and end.
#pragma once

#include <string_view>

namespace kelmor {

class Host;

// The map editor as this launcher spells it; the host finds the "MAPPER.EXE"
// that the kit launcher installs whatever the case.
inline constexpr std::string_view kMapperMapEditorSuffix = "\\mapper.exe";
inline constexpr std::string_view kKitLauncherSuffix = "\\_KelmorPlix.exe";
// What the kit launcher is given to open the map editor after installing.
inline constexpr std::string_view kKitLauncherArgument = "mapper";

class MapperLauncher {
public:
    explicit MapperLauncher(Host& host);

    // When the installation marker says the kit is installed, opens the
    // application folder's map editor (directly or in the emulator, see
    // openMapEditor); otherwise starts the kit launcher with the single
    // argument "mapper", which installs the kit first, and drops a failed
    // start of it silently. Then ends the process, waiting for nothing.
    void run();

private:
    Host& host_;
};

}  // namespace kelmor
