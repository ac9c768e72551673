// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/fltk/fltk_label.hpp"

#include <FL/Fl_Widget.H>
#include <FL/fl_draw.H>

namespace kelmor::fltk {

void fitLabel(Fl_Widget& widget, int room) {
    int size = widget.labelsize();
    for (; size > 8; --size) {
        fl_font(widget.labelfont(), size);
        int textWidth = 0, textHeight = 0;
        fl_measure(widget.label(), textWidth, textHeight, 0);
        if (textWidth <= room) break;
    }
    widget.labelsize(size);
}

}  // namespace kelmor::fltk
