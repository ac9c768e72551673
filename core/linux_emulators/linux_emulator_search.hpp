// SPDX-License-Identifier: GPL-3.0-or-later
// Where the Linux programs find the emulator the launchers start: the one
// the drive map names (emulator= in [options]), else the first DOSBox
// present of those players run today. DOSBox Staging comes first: the
// kit's own install brings Debian's dosbox, so a player who has Staging as
// well meant Staging; then DOSBox-X, then dosbox.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kelmor::linux_emulators {

// The search path used when PATH is not set.
inline constexpr std::string_view kDefaultSearchPath = "/usr/local/bin:/usr/bin:/bin";

// DOSBox Staging's Flatpak, by the name of its exported launcher.
inline constexpr std::string_view kStagingFlatpak = "io.github.dosbox-staging";

// Where Flatpak exports its launchers for all users.
inline constexpr std::string_view kSystemFlatpakExports = "/var/lib/flatpak/exports/bin";

// What is looked for when the drive map names no emulator, as messages say it.
inline constexpr std::string_view kEmulatorsLookedFor =
    "dosbox-staging, dosbox-x or dosbox on PATH, or DOSBox Staging's Flatpak";

struct EmulatorSearch {
    // emulator= of the drive map: a program's path (a name with a '/'), or a
    // name looked up on the search path; empty when it names none.
    std::string configured;
    // Folders separated by ':', an empty one standing for the working folder.
    std::string searchPath;
    // Folders of Flatpak's exported launchers, in the order they are tried.
    std::vector<std::string> flatpakExports;
    // The bridge's real path: never an emulator, whatever names it.
    std::string self;
};

// The search as the programs make it: `configured`, $PATH (else
// kDefaultSearchPath), the user's Flatpak exports
// (${XDG_DATA_HOME:-~/.local/share}/flatpak/exports/bin), which Flatpak
// itself prefers, then the system's, and `self`.
EmulatorSearch emulatorSearch(std::string configured, std::string self = {});

// An emulator's file.
struct EmulatorFile {
    std::string path;      // as it was found: started and shown so
    std::string realPath;  // links resolved: one file found twice is one emulator
};

// The program emulator= names, when it is an executable regular file that
// is not the bridge.
std::optional<EmulatorFile> configuredEmulator(const EmulatorSearch& search);

// The emulators present, in the order the kit tries them: the configured
// one, dosbox-staging on the search path, the Flatpak's launcher,
// dosbox-x, dosbox. Only executable regular files count, each file once,
// never the bridge.
std::vector<EmulatorFile> presentEmulators(const EmulatorSearch& search);

}  // namespace kelmor::linux_emulators
