// SPDX-License-Identifier: GPL-3.0-or-later
// What the programs keep in the host's settings store, in one place: two
// settings sets, each an application name with a section of the same name,
// the keys the programs read and write, and the value a key has while the
// store holds none. The configuration tool writes both sets; the game
// launcher reads the game's, the kit launcher and the map editor the kit's.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace kelmor {

class Host;

// The settings sets: application name and section of the store alike.
inline constexpr std::string_view kGameSettings = "kel1";
inline constexpr std::string_view kKitSettings = "kelkit";

// A key of a settings set and the value read while the store holds none.
struct Setting {
    std::string_view key;
    std::string_view defaultValue;
};

// How the emulator runs: the values go into dosbox.conf as they are.
inline constexpr Setting kCyclesSetting{"cycles", "20000"};
inline constexpr Setting kFullscreenSetting{"fullscreen", "true"};
inline constexpr Setting kFullfixedSetting{"fullfixed", "false"};
inline constexpr Setting kOutputSetting{"output", "surface"};

// The configuration tool's display preset, the number of its option.
inline constexpr Setting kPresetSetting{"predvolba", "1"};

// The game's set only: whether the intro plays, kIntroOn or kIntroOff.
inline constexpr std::string_view kIntroOn = "1";
inline constexpr std::string_view kIntroOff = "0";
inline constexpr Setting kIntroSetting{"intro", kIntroOn};

// One placeholder of the configuration template and the setting that fills it.
struct Placeholder {
    std::string_view token;
    Setting setting;
};

// In the order in which they are rendered.
inline constexpr std::array<Placeholder, 4> kPlaceholders{{
    {"(cycles)", kCyclesSetting},
    {"(fullscreen)", kFullscreenSetting},
    {"(fullfixed)", kFullfixedSetting},
    {"(output)", kOutputSetting},
}};

// The value of `setting` in the settings set `settings`, or its default.
std::string storedSetting(Host& host, std::string_view settings, const Setting& setting);

// Writes `value` under the key of `setting` in the settings set `settings`.
void storeSetting(Host& host, std::string_view settings, const Setting& setting,
                  std::string_view value);

}  // namespace kelmor
