// SPDX-License-Identifier: GPL-3.0-or-later
// What a window asks of the window manager beyond its size.
#pragma once

class Fl_Window;

namespace kelmor::fltk {

// Asks for a close button only: a fixed window offers neither minimise nor
// maximise. Call it once the window is shown.
void offerOnlyClose(Fl_Window& window);

}  // namespace kelmor::fltk
