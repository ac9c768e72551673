// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/fltk/fltk_window_hints.hpp"

#include <FL/Fl_Window.H>
#include <FL/x.H>

namespace kelmor::fltk {

void offerOnlyClose(Fl_Window& window) {
    if (!window.shown() || !fl_display) return;
    // Motif hints: every function but resize, minimise and maximise.
    enum : unsigned long { Functions = 1, All = 1, Resize = 2, Minimise = 8, Maximise = 16 };
    const unsigned long hints[5] = {Functions, All | Resize | Minimise | Maximise, 0, 0, 0};
    const Atom motifHints = XInternAtom(fl_display, "_MOTIF_WM_HINTS", False);
    XChangeProperty(fl_display, fl_xid(&window), motifHints, motifHints, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(hints), 5);
}

}  // namespace kelmor::fltk
