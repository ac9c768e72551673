// SPDX-License-Identifier: GPL-3.0-or-later
// Texts from outside the program (paths, file names, what an emulator
// printed, lines of the user's files) shown by FLTK as written. FLTK reads
// some characters of what it shows as commands: in a label or a menu item
// '@' begins a symbol (text from a label's last '@' on is taken for one and
// not shown), and in a menu item or a button's label '&' underlines the
// next character (a box's label shows it as it is); a browser line that
// begins with '@' is formatted by what follows; a menu item's text is split
// into submenus at '/', '\' escapes, a leading '_' draws a divider, and the
// text is copied into a buffer of 1024 bytes.
#pragma once

#include <string>
#include <string_view>

class Fl_Box;
class Fl_Browser;
class Fl_Menu_;

namespace kelmor::fltk {

// The label that shows `text`: each '@' doubled, and each '&' too where
// the label marks its shortcut with one (a menu item's, a button's).
std::string labelText(std::string_view text, bool marksShortcut = false);

// The line that a browser shows as `text`: one that begins with '@' is
// told to take the rest as written.
std::string browserLine(std::string_view text);

// The box's label becomes `text`, shown as written.
void showText(Fl_Box& box, std::string_view text);

// Adds `text` as the browser's last line.
void addLine(Fl_Browser& browser, std::string_view text);

// Adds an item that shows `text` as the menu's last; its index.
int addItem(Fl_Menu_& menu, std::string_view text);

}  // namespace kelmor::fltk
