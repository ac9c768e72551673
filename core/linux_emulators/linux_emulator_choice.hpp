// SPDX-License-Identifier: GPL-3.0-or-later
// The emulators the Linux programs see, each with what it is: the one the
// launchers start (through the bridge), and those the player may pick in
// Kelmor Drives.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/emulator_dialect.hpp"
#include "core/linux_emulators/linux_emulator_identity.hpp"
#include "core/linux_emulators/linux_emulator_search.hpp"

namespace kelmor::linux_emulators {

struct PresentEmulator : EmulatorFile {
    EmulatorIdentity identity;
};

// The emulator the launchers start: when the search names one (emulator=),
// that one, and nothing when it is not present: the player's choice is
// never replaced by another emulator; otherwise the first of
// presentEmulators(). With what it is (identifyEmulator()). Nothing inside a
// probe (insideAProbe()): a bridge that a probe runs starts nothing.
std::optional<PresentEmulator> chooseEmulator(const EmulatorSearch& search,
                                              const std::string& cacheFile = emulatorCacheFile());

// presentEmulators(), each with what it is.
std::vector<PresentEmulator> identifiedEmulators(
    const EmulatorSearch& search, const std::string& cacheFile = emulatorCacheFile());

}  // namespace kelmor::linux_emulators
