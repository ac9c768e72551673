// SPDX-License-Identifier: GPL-3.0-or-later
// The configuration tool's window frmMain as data: its controls, where they
// sit (twips, relative to their container) and in which order Tab walks them.
// Each toolkit's view builds the window from this.
//
// The tool has two forms: the kit's ("kelkit", the tool started without an
// argument) and the game's ("kel1", started with the argument "kel1"), which
// adds the check box chkIntro under the options and moves what lies below
// them down by one row.
#pragma once

#include <array>
#include <optional>
#include <string_view>

#include "core/launcher_window.hpp"
#include "core/program_identity.hpp"
#include "core/settings_contract.hpp"

namespace kelmor {

struct ConfigurationForm {
    std::string_view settings;  // application name and section of the settings store
    WindowSpec window;          // no timer; centred by the same rule as the launchers
    ControlSpec lblPopis;
    ControlSpec txtCycles;
    std::array<ControlSpec, 5> options;
    std::optional<ControlSpec> chkIntro;  // kIntroSetting: kIntroOn checked, kIntroOff not
    ControlSpec cmdOk;
    ControlSpec cmdCancel;
    ControlSpec frame1;
    ControlSpec lblAbout;  // inside frame1
};

inline constexpr ConfigurationForm kKitConfigurationForm{
    kKitSettings,
    {"frmMain", kConfigurationIdentity.title, WindowFrame::FixedSingle, 4905, 4530,
     WindowPointer::Ordinary, 0, false},
    {"lblPopis", "CPU cycles:", 240, 240, 975, 255, 6},
    {"txtCycles", "65536", 1200, 240, 1215, 285, 0},
    {{
        {"opt1", "Fullscreen mode", 240, 720, 3495, 255, 1},
        {"opt2", "Fullscreen mode, keep the original game size", 240, 960, 3495, 255, 2},
        {"opt3", "Window mode", 240, 1200, 3495, 255, 3},
        {"opt4", "Fullscreen mode, OpenGL support", 240, 1440, 3495, 255, 4},
        {"opt5", "Window mode, OpenGL support", 240, 1680, 3495, 255, 5},
    }},
    std::nullopt,
    {"cmdOk", "Save settings and exit", 360, 2160, 2055, 375, 7},
    {"cmdCancel", "Cancel", 2520, 2160, 2055, 375, 8},
    {"Frame1", "About", 240, 2880, 4455, 1335, 9},
    {"lblAbout",
     "Kelmor Plix Configuration 1.00, part of the Kelmor compatibility kit.\n"
     "Pick how DOSBox shows the level-editor kit and how fast its CPU runs. "
     "The kit launcher uses these settings from its next start.",
     120, 240, 4215, 975, 10},
};

// One row of the option list.
inline constexpr int kConfigurationRowTwips = 240;

inline constexpr ConfigurationForm kGameConfigurationForm{
    kGameSettings,
    {"frmMain", kGameConfigurationTitle, WindowFrame::FixedSingle, 4905,
     4530 + kConfigurationRowTwips, WindowPointer::Ordinary, 0, false},
    {"lblPopis", "CPU cycles:", 240, 240, 975, 255, 7},
    kKitConfigurationForm.txtCycles,
    kKitConfigurationForm.options,
    ControlSpec{"chkIntro", "Play the intro", 240, 1920, 3495, 255, 6},
    {"cmdOk", "Save settings and exit", 360, 2160 + kConfigurationRowTwips, 2055, 375, 8},
    {"cmdCancel", "Cancel", 2520, 2160 + kConfigurationRowTwips, 2055, 375, 9},
    {"Frame1", "About", 240, 2880 + kConfigurationRowTwips, 4455, 1335, 10},
    {"lblAbout",
     "Kelmor Configuration 1.00, part of the Kelmor compatibility kit.\n"
     "Pick how DOSBox shows the game and how fast its CPU runs. "
     "The game launcher uses these settings from its next start.",
     120, 240, 4215, 975, 11},
};

// The argument that opens the game's form: the name of the game's settings.
inline constexpr std::string_view kGameConfigurationArgument = kGameSettings;

// The form for the text behind the program name: the game's for "kel1",
// otherwise the kit's.
constexpr const ConfigurationForm& configurationForm(std::string_view commandLine) {
    return commandLine == kGameConfigurationArgument ? kGameConfigurationForm
                                                     : kKitConfigurationForm;
}

// The kit's form; its window is the one the tool shows without an argument.
inline constexpr const WindowSpec& kConfigurationWindow = kKitConfigurationForm.window;

// The font of the window and every control on it.
inline constexpr FontSpec kConfigurationFont{"Tahoma", 825, 238, false};

// At most this many characters can be typed into txtCycles.
inline constexpr int kCyclesMaxLength = 5;

}  // namespace kelmor
