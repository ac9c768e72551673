// SPDX-License-Identifier: GPL-3.0-or-later
// The window of `kelmor-drives` on FLTK: the letters D to Z in a list, and
// buttons to give the chosen letter a folder or an image (FLTK's own file
// chooser), clear it, and save the drive map; below them the emulator's box,
// what the launchers start with it, the emulators found to pick from, and
// the detection's check box; above them one line that says what the dialog
// is for. Usable with the keyboard alone: arrows in the list, Tab to the
// buttons, Alt and the underlined letter, Escape to close. Close, Escape and
// the close box ask before they discard changes not saved yet.
#pragma once

#include "core/fltk/fltk_launcher_window.hpp"
#include "drives_tool/drive_letters.hpp"

namespace kelmor::fltk {

inline constexpr const char* kDrivesWindowTitle = "Kelmor Drives";

// Runs the window, with its icon, until it is closed; returns the exit code.
int runDrivesWindow(drives::DriveLetters& letters, const EmbeddedPicture& icon);

}  // namespace kelmor::fltk
