// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/linux_emulators/linux_emulator_choice.hpp"

namespace kelmor::linux_emulators {

std::optional<PresentEmulator> chooseEmulator(const EmulatorSearch& search,
                                              const std::string& cacheFile) {
    if (insideAProbe()) return std::nullopt;
    std::optional<EmulatorFile> file = configuredEmulator(search);
    if (search.configured.empty()) {
        const auto present = presentEmulators(search);
        if (!present.empty()) file = present.front();
    }
    if (!file) return std::nullopt;
    return PresentEmulator{*file, identifyEmulator(*file, cacheFile)};
}

std::vector<PresentEmulator> identifiedEmulators(const EmulatorSearch& search,
                                                 const std::string& cacheFile) {
    std::vector<PresentEmulator> identified;
    for (const EmulatorFile& file : presentEmulators(search))
        identified.push_back({file, identifyEmulator(file, cacheFile)});
    return identified;
}

}  // namespace kelmor::linux_emulators
