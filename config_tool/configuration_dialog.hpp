// SPDX-License-Identifier: GPL-3.0-or-later
// What the configuration dialog does: fill the window from its settings
// ("kelkit", or the game's "kel1") when it loads, check and store them on
// "Save settings and exit", store nothing on "Cancel" or the close box. Each
// toolkit's view only shows the controls and forwards the clicks.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "config_tool/configuration_form.hpp"

namespace kelmor {

class Host;

inline constexpr std::string_view kInvalidCyclesMessage = "Invalid CPU cycles value.";
inline constexpr std::string_view kInvalidCyclesTitle = "Kelmor";

// One display preset: the DOSBox values its option button stands for. The
// preset's number is also the number of its option button (opt1 to opt5)
// and the value stored under "predvolba".
struct DisplayPreset {
    std::string_view number;
    std::string_view fullscreen;
    std::string_view fullfixed;
    std::string_view output;
};

inline constexpr std::array<DisplayPreset, 5> kDisplayPresets{{
    {"1", "true", "false", "surface"},
    {"2", "true", "true", "surface"},
    {"3", "false", "false", "surface"},
    {"4", "true", "false", "opengl"},
    {"5", "false", "false", "opengl"},
}};

// The controls of frmMain as the dialog's logic sees them. Options are
// numbered 1 to 5 (opt1 to opt5).
class DialogControls {
public:
    virtual ~DialogControls() = default;

    // Moves the window to the centre of the screen.
    virtual void centreWindow() = 0;

    virtual std::string cyclesText() const = 0;  // txtCycles
    virtual void setCyclesText(const std::string& text) = 0;
    virtual void focusCycles() = 0;

    virtual bool optionSelected(int number) const = 0;
    // Selects one option button and deselects the other four.
    virtual void selectOption(int number) = 0;

    // chkIntro, on the game's form only.
    virtual bool introChecked() const = 0;
    virtual void setIntroChecked(bool checked) = 0;
};

class ConfigurationDialog {
public:
    ConfigurationDialog(Host& host, DialogControls& controls,
                        const ConfigurationForm& form = kKitConfigurationForm);

    const ConfigurationForm& form() const { return form_; }

    // The load step: centre, fill txtCycles, select the stored preset, and
    // on the game's form check chkIntro when "intro" is "1".
    void load();

    // "Save settings and exit": an invalid count is reported and the dialog
    // stays; otherwise the selected preset and the count are stored, and
    // "intro" on the game's form, and the process ends.
    void cmdOkClicked();

    // "Cancel" and the close box: the process ends, nothing is stored.
    void cmdCancelClicked();
    void closeBoxClicked();

private:
    void store(const DisplayPreset& preset);
    void storeIntro();

    Host& host_;
    DialogControls& controls_;
    const ConfigurationForm& form_;
    std::string storedIntro_;  // "intro" as the load found it
    bool introShown_ = false;  // whether the load checked chkIntro
};

}  // namespace kelmor
