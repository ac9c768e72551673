// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/cd_probes.hpp"

#include <array>
#include <string>
#include <string_view>

namespace kelmor {
namespace {

// The three layouts of the game CD, in probing order: a later layout's hit
// beats an earlier one's.
constexpr std::array<std::string_view, 3> kGameCdLayouts{"\\KELMOR\\KELMOR", "\\KELMOR", "\\"};
constexpr std::string_view kGameCdMarker = "VIGNET.DAT";

}  // namespace

std::vector<CdProbe> gameCdProbes() {
    std::vector<CdProbe> probes;
    for (std::string_view layout : kGameCdLayouts) {
        for (char letter = kFirstCdLetter; letter <= kLastCdLetter; ++letter) {
            const std::string folder = std::string{letter, ':'} + std::string(layout);
            const std::string separator = folder.back() == '\\' ? "" : "\\";
            probes.push_back({folder + separator + std::string(kGameCdMarker), folder});
        }
    }
    return probes;
}

std::vector<CdProbe> kitCdProbes() {
    std::vector<CdProbe> probes;
    for (char letter = kFirstCdLetter; letter <= kLastCdLetter; ++letter) {
        const std::string folder = std::string{letter, ':'} + "\\KIT";
        probes.push_back({folder + "\\KELKIT.EXE", folder});
    }
    return probes;
}

}  // namespace kelmor
