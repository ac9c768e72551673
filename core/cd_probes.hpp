// SPDX-License-Identifier: GPL-3.0-or-later
// The probes of the kit's two CDs, which the launchers search with
// lastHitFolder() and Kelmor Drives shows a letter's hits with.
#pragma once

#include <vector>

#include "core/cd_search.hpp"

namespace kelmor {

// The 69 places of the game CD's marker "VIGNET.DAT": the nested, the folder
// and the root layout, each on D to Z.
std::vector<CdProbe> gameCdProbes();

// "L:\KIT\KELKIT.EXE" for L from D to Z, each hit meaning the folder "L:\KIT".
std::vector<CdProbe> kitCdProbes();

}  // namespace kelmor
