// SPDX-License-Identifier: GPL-3.0-or-later
// Which emulator stands behind dosbox.exe, told by what it says of itself:
// the line its --version prints, or a Windows program's version resource.
//
// The kit's configuration template is that of a DOSBox of 2003. The
// emulators players run today each read it in a dialect of their own
// (renamed keys, sound cards described otherwise, values that became
// names), and each gets a configuration of the same meaning in that dialect
// (emulator_configuration.hpp).
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace kelmor {

enum class EmulatorDialect {
    Unknown,     // none of the others: given the files as the launchers write them
    Dosbox074,   // DOSBox 0.74 and its forebears (Debian's 0.74-3)
    Staging,     // DOSBox Staging before 0.83 (measured: 0.82.2)
    Staging083,  // DOSBox Staging 0.83 and later
    DosboxX,     // DOSBox-X
};

struct EmulatorIdentity {
    EmulatorDialect dialect = EmulatorDialect::Unknown;
    // As a player knows it, "DOSBox Staging 0.82.2"; empty when unknown.
    std::string name;
};

// The emulator that printed `output` for --version: its first line that
// names one ("DOSBox version 0.74-3, copyright ...", "dosbox-staging, version
// 0.82.2 (f8c24)", "DOSBox-X version 2024.12.04 ..."); Unknown for anything else.
EmulatorIdentity emulatorFromVersionOutput(std::string_view output);

// What a Windows program's version resource says of it.
struct ProgramVersion {
    std::array<unsigned, 4> fileVersion{};  // the fixed part: 0, 82, 2, 0
    std::string productName;                // UTF-8
    std::string fileDescription;            // UTF-8
};

// The emulator that a Windows program's version resource describes:
// DOSBox Staging by its product name (0.83 and later by the file version),
// DOSBox-X by its product name or description, DOSBox by a description that
// begins with "DOSBox"; Unknown for anything else.
EmulatorIdentity emulatorFromProgramVersion(const ProgramVersion& version);

// A short name of the dialect for file names and logs: "dosbox-0.74",
// "staging", "staging-0.83", "dosbox-x", "unknown".
std::string_view dialectTag(EmulatorDialect dialect);

}  // namespace kelmor
