// SPDX-License-Identifier: GPL-3.0-or-later
// Windows on the display: its scale in twips, centring by the kit's rule,
// and the fonts of labels, sized by the display's resolution.
#pragma once

#include <windows.h>

#include "core/launcher_window.hpp"

namespace kelmor::win32 {

// Twips per pixel of the display, across and down, and its resolution.
struct DisplayScale {
    float twipsPerPixelX;
    float twipsPerPixelY;
    int dotsPerInchX;
    int dotsPerInchY;
};

DisplayScale displayScale();

// The load step of every window: the screen and the window's outer size in
// twips, the new top-left corner back in pixels.
void centreOnScreen(HWND window, const DisplayScale& scale);

// The font of a label at the display's resolution. The caller deletes it.
HFONT createFont(const FontSpec& font, const DisplayScale& scale);

}  // namespace kelmor::win32
