// SPDX-License-Identifier: GPL-3.0-or-later
// How the bridge hands the emulator at hand its configuration: in that
// emulator's dialect, with the MIDI device it plays the game's music on
// where the player named none (core/midi_choice.hpp), and with the
// arguments that keep it to the files it is given.
#pragma once

#include <string>
#include <vector>

#include "core/emulator_configuration.hpp"
#include "core/emulator_dialect.hpp"

namespace kelmor::bridge {

struct EmulatorSetup {
    EmulatorDialect dialect = EmulatorDialect::Unknown;
    std::vector<EmulatorSetting> added;  // on top of each configuration's own
    std::vector<std::string> arguments;  // before the bridge's own
};

// Debian's General MIDI sound font (package fluid-soundfont-gm), by the
// name under which the system offers whichever one is chosen.
inline constexpr const char* kGeneralMidiSoundFont = "/usr/share/sounds/sf2/default-GM.sf2";

// The ALSA sequencer's clients and their ports.
inline constexpr const char* kSequencerClients = "/proc/asound/seq/clients";

// The setup for `emulator`; `userConfiguration` is the player's own
// configuration file, handed after the kit's, when there is one.
EmulatorSetup emulatorSetup(const EmulatorIdentity& emulator, const std::string& userConfiguration);

}  // namespace kelmor::bridge
