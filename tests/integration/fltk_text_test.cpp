// SPDX-License-Identifier: GPL-3.0-or-later
// Texts from outside shown by FLTK as written: what a label, a browser line
// and a menu item are given for them, and a menu's items as FLTK keeps them
// (what its labels draw is seen in the GUI tests' screenshots).
#include <FL/Fl_Choice.H>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/fltk/fltk_text.hpp"

namespace kelmor::fltk {
namespace {

TEST(FltkText, LabelsAndBrowserLinesShowTheTextAsWritten) {
    struct Case {
        std::string text, boxLabel, itemLabel, line;
    };
    const std::vector<Case> cases{
        {"Saved to /home/ann@corp.example.com/drives.ini",
         "Saved to /home/ann@@corp.example.com/drives.ini",
         "Saved to /home/ann@@corp.example.com/drives.ini",
         "Saved to /home/ann@corp.example.com/drives.ini"},
        {"@C88 red?", "@@C88 red?", "@@C88 red?", "@.@C88 red?"},
        {"E=@->", "E=@@->", "E=@@->", "E=@->"},
        {"Tom & Jerry &&", "Tom & Jerry &&", "Tom && Jerry &&&&", "Tom & Jerry &&"},
        {"100% of C:\\GAMES\t/x", "100% of C:\\GAMES\t/x", "100% of C:\\GAMES\t/x",
         "100% of C:\\GAMES\t/x"},
        {"", "", "", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(labelText(c.text), c.boxLabel) << c.text;
        EXPECT_EQ(labelText(c.text, true), c.itemLabel) << c.text;
        EXPECT_EQ(browserLine(c.text), c.line) << c.text;
    }
}

// Each item shows its whole text: none is split into submenus, loses a
// backslash or its length, or replaces another that differs only by '&'.
TEST(FltkText, EachMenuItemKeepsItsText) {
    const std::vector<std::string> texts{
        "/usr/bin/dosbox-staging, DOSBox Staging 0.82.2",
        "_divider?",
        "C:\\dos\\box",
        "one|two\tthree",
        "/opt/a&b/dosbox",
        "/opt/ab/dosbox",
        "/home/ann@corp.example.com/" + std::string(2000, 'x') + "/dosbox",
    };
    Fl_Choice choice(0, 0, 100, 20);
    for (std::size_t i = 0; i < texts.size(); ++i)
        EXPECT_EQ(addItem(choice, texts[i]), static_cast<int>(i));
    ASSERT_EQ(choice.size(), static_cast<int>(texts.size()) + 1);  // and the menu's end
    for (std::size_t i = 0; i < texts.size(); ++i) {
        EXPECT_EQ(choice.menu()[i].label(), labelText(texts[i], true));
        EXPECT_FALSE(choice.menu()[i].flags & (FL_SUBMENU | FL_MENU_DIVIDER)) << texts[i];
    }
}

}  // namespace
}  // namespace kelmor::fltk
