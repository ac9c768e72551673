// SPDX-License-Identifier: GPL-3.0-or-later
// The launcher windows on FLTK: a fixed window of the given look, centred,
// shown, and a timer whose first tick runs the program's sequence once.
#pragma once

#include <cstddef>
#include <functional>

#include "core/launcher_window.hpp"

class Fl_Window;

namespace kelmor::fltk {

// A picture compiled into the program.
struct EmbeddedPicture {
    enum class Format { Bmp, Png };
    const unsigned char* bytes = nullptr;
    std::size_t size = 0;
    Format format = Format::Bmp;
};

struct LauncherLook {
    EmbeddedPicture background;  // none when bytes is null
    EmbeddedPicture icon;
    // Adds the window's own controls (the mapper's picture and label).
    std::function<void(Fl_Window&)> addContents;
};

// Moves a window so that its outer frame (as its WindowSpec counts it) is centred
// on the primary screen.
void centreOnScreen(Fl_Window& window, const WindowSpec& spec);

// Shows the window and runs the event loop; the tick runs once and is
// expected to end the process. Escape and the close box do nothing.
int runLauncherWindow(const WindowSpec& spec, const LauncherLook& look, std::function<void()> tick);

}  // namespace kelmor::fltk
