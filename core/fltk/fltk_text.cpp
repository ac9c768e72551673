// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/fltk/fltk_text.hpp"

#include <FL/Fl_Box.H>
#include <FL/Fl_Browser.H>
#include <FL/Fl_Menu_.H>

namespace kelmor::fltk {

std::string labelText(std::string_view text, bool marksShortcut) {
    std::string label;
    label.reserve(text.size());
    for (const char c : text) {
        if (c == '@' || (c == '&' && marksShortcut)) label += c;
        label += c;
    }
    return label;
}

std::string browserLine(std::string_view text) {
    // "@." ends a line's formatting; what follows is shown as it stands.
    return (!text.empty() && text.front() == '@' ? "@." : "") + std::string(text);
}

void showText(Fl_Box& box, std::string_view text) { box.copy_label(labelText(text).c_str()); }

void addLine(Fl_Browser& browser, std::string_view text) { browser.add(browserLine(text).c_str()); }

int addItem(Fl_Menu_& menu, std::string_view text) {
    // Added under a name that add() takes as it stands and that no other
    // item has (an item of the same name would be replaced), then given its
    // text, which replace() takes as it stands, whatever its length.
    const int item = menu.add(("\x01" + std::to_string(menu.size())).c_str(), 0, nullptr);
    menu.replace(item, labelText(text, true).c_str());
    return item;
}

}  // namespace kelmor::fltk
