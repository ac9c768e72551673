// SPDX-License-Identifier: GPL-3.0-or-later
// Room for every caption of the configuration dialog. The form places its
// controls for the font it was drawn with; another face, or the same one at
// another resolution, may need more room across, and a caption cut short,
// or wrapped onto a line the control does not show, hides what it says.
#pragma once

#include <vector>

namespace kelmor {

// A control of the window, in pixels of its client area.
struct FittedControl {
    int left = 0, top = 0, width = 0, height = 0;
    int neededWidth = 0;  // what its caption needs across; 0 for no caption
    int container = -1;   // the control it lies in (its frame), if any
};

// Widens each control whose caption needs more room than it has, in order.
// What lies to its right on the same rows moves along by as much; its
// frame grows with it, keeping the room it had at its right; and the
// window's client area, whose width is returned, grows so that every
// control keeps the room the rightmost one had at the window's edge. A
// control that has room enough, and the window, stay as they are.
int fitCaptions(std::vector<FittedControl>& controls, int clientWidth);

}  // namespace kelmor
