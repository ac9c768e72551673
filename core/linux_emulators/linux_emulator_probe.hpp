// SPDX-License-Identifier: GPL-3.0-or-later
// What an emulator says of itself, asked with "--version" alone (DOSBox-X
// takes an option it does not know for no reason to stop, and carries on
// starting). DOSBox Staging writes its primary configuration into the home
// folder even then, so the program runs with its input from /dev/null and
// its output captured, without a display, in a private folder of its own
// that stands for its home and every XDG folder and is removed afterwards:
// nothing it does lands in the player's home. It is ended when it takes
// too long.
#pragma once

#include <chrono>
#include <cstddef>
#include <optional>
#include <string>

#include "core/emulator_dialect.hpp"

namespace kelmor::linux_emulators {

// How long a probe may run before it is killed.
inline constexpr std::chrono::milliseconds kProbeTimeLimit{5000};

// How much of what it prints is kept: far more than a version's lines.
inline constexpr std::size_t kProbeOutputLimit = 64 * 1024;

// Set in a probed program's environment.
inline constexpr const char* kProbeVariable = "KELMOR_EMULATOR_PROBE";

// Whether this process runs inside a probe: kProbeVariable is set, or its
// working folder is a probe's (a wrapper may clear the environment). A
// program of the kit that a probe runs (a copy of the bridge named as the
// emulator, or a wrapper around one) then probes and starts nothing, so
// probes never nest.
bool insideAProbe();

// The emulator `program` (an absolute path; `shownAs` its argv[0]) says it
// is: emulatorFromVersionOutput() of what it printed, Unknown when it was
// killed at `limit`. Nothing when it could not be started at all, or
// insideAProbe().
std::optional<EmulatorIdentity> probeEmulator(const std::string& program,
                                              const std::string& shownAs,
                                              std::chrono::milliseconds limit = kProbeTimeLimit);

}  // namespace kelmor::linux_emulators
