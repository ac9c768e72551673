// SPDX-License-Identifier: GPL-3.0-or-later
// The configuration dialog's controls without a window, for driving
// ConfigurationDialog in tests.
#pragma once

#include <string>
#include <vector>

#include "config_tool/configuration_dialog.hpp"

namespace kelmor::testing {

// The window's controls without a window: the box's text, the selected
// option and a record of what the dialog did to them.
class FakeControls : public DialogControls {
public:
    std::string text = "65536";  // the design-time text, replaced at load
    int selected = 0;            // 0: no option selected
    bool intro = false;          // chkIntro
    std::vector<std::string> events;

    void centreWindow() override { events.push_back("centre"); }
    std::string cyclesText() const override { return text; }
    void setCyclesText(const std::string& t) override {
        text = t;
        events.push_back("text=" + t);
    }
    void focusCycles() override { events.push_back("focus"); }
    bool optionSelected(int number) const override { return selected == number; }
    void selectOption(int number) override {
        selected = number;
        events.push_back("select " + std::to_string(number));
    }
    bool introChecked() const override { return intro; }
    void setIntroChecked(bool checked) override {
        intro = checked;
        events.push_back(checked ? "intro checked" : "intro unchecked");
    }
};

}  // namespace kelmor::testing
