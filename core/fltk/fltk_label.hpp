// SPDX-License-Identifier: GPL-3.0-or-later
// Labels laid out for the original narrow sans face, shown in ours.
#pragma once

class Fl_Widget;

namespace kelmor::fltk {

// Shrinks a label's font, down to 8 px, until its text fits the room. Needs
// the display to be open.
void fitLabel(Fl_Widget& widget, int room);

}  // namespace kelmor::fltk
