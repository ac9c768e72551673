// SPDX-License-Identifier: GPL-3.0-or-later
// Where the emulator plays the game's General MIDI music. The kit turns on
// an MPU-401; what sounds it is the emulator's MIDI device, which a player
// may name in dosbox-user.conf. Where the player named none, DOSBox Staging
// and DOSBox-X play it with their own FluidSynth and Debian's General MIDI
// sound font, and DOSBox 0.74, which has no synthesizer of its own, is
// pointed at a synthesizer's ALSA sequencer port (FluidSynth or TiMidity
// started as a server), when one runs.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/emulator_configuration.hpp"

namespace kelmor {

// What the choice depends on, as the host finds it.
struct MidiFacts {
    bool playerNamedDevice = false;                   // the player's own configuration names one
    std::optional<std::string> sequencerSynthesizer;  // its ALSA port, "128:0"
    std::string generalMidiSoundFont;  // Debian's default-GM sound font, where installed
};

// The port of the first synthesizer in an ALSA sequencer's client list (the
// text of /proc/asound/seq/clients): the first port that takes events
// ('W' or 'w') of a client run by a user program (a kernel client is a
// sound card's MIDI port or the system's own), "<client>:<port>".
std::optional<std::string> sequencerSynthesizerPort(std::string_view clients);

// Whether a configuration sets the MIDI device: "mididevice" in [midi].
bool namesMidiDevice(std::string_view configuration);

// The settings that give the emulator of `dialect` its MIDI device; none
// where the player named one, or there is nothing to point it at.
std::vector<EmulatorSetting> midiSettings(EmulatorDialect dialect, const MidiFacts& facts);

}  // namespace kelmor
