// The configuration tool's window frmMain as data: its controls, where they
// sit (twips, relative to their container) and in which order Tab walks them.
// Each toolkit's view builds the window from this.
#pragma once

#include <array>
#include <string_view>

#include "core/launcher_window.hpp"

namespace kelmor {

// The dialog has no timer; it is centred by the same rule as the launchers.
inline constexpr WindowSpec kConfigurationWindow{
    "frmMain", "Kelmor Plix Configuration", WindowFrame::FixedSingle, 4905, 4530,
    WindowPointer::Ordinary, 0, false};

inline constexpr ControlSpec kLblPopis{"lblPopis", "CPU cycles:", 240, 240, 975, 255, 6};
inline constexpr ControlSpec kTxtCycles{"txtCycles", "65536", 1200, 240, 1215, 285, 0};
inline constexpr std::array<ControlSpec, 5> kOptions{{
    {"opt1", "Fullscreen mode", 240, 720, 3495, 255, 1},
    {"opt2", "Fullscreen mode, keep the original game size", 240, 960, 3495, 255, 2},
    {"opt3", "Window mode", 240, 1200, 3495, 255, 3},
    {"opt4", "Fullscreen mode, OpenGL support", 240, 1440, 3495, 255, 4},
    {"opt5", "Window mode, OpenGL support", 240, 1680, 3495, 255, 5},
}};
inline constexpr ControlSpec kCmdOk{"cmdOk", "Save settings and exit", 360, 2160, 2055, 375, 7};
inline constexpr ControlSpec kCmdCancel{"cmdCancel", "Cancel", 2520, 2160, 2055, 375, 8};
inline constexpr ControlSpec kFrame1{"Frame1", "About", 240, 2880, 4455, 1335, 9};
// Inside Frame1.
inline constexpr ControlSpec kLblAbout{
    "lblAbout",
    "Kelmor Plix Configuration 1.00, part of the Kelmor compatibility kit.\n"
    "Pick how DOSBox shows the level-editor kit and how fast its CPU runs. "
    "The kit launcher uses these settings from its next start.",
    120, 240, 4215, 975, 10};

// The font of the window and every control on it.
inline constexpr FontSpec kConfigurationFont{"Tahoma", 825, 238, false};

// At most this many characters can be typed into txtCycles.
inline constexpr int kCyclesMaxLength = 5;

}  // namespace kelmor
