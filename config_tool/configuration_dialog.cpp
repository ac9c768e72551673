// SPDX-License-Identifier: GPL-3.0-or-later
#include "config_tool/configuration_dialog.hpp"

#include "config_tool/cislo.hpp"
#include "core/host.hpp"

namespace kelmor {
namespace {

constexpr std::string_view kPresetKey = "predvolba";
constexpr std::string_view kPresetDefault = "1";
constexpr std::string_view kCyclesKey = "cycles";
constexpr std::string_view kCyclesDefault = "20000";
constexpr std::string_view kIntroKey = "intro";
constexpr std::string_view kIntroOn = "1";
constexpr std::string_view kIntroOff = "0";

int optionNumber(const DisplayPreset& preset) {
    return static_cast<int>(&preset - kDisplayPresets.data()) + 1;
}

}  // namespace

ConfigurationDialog::ConfigurationDialog(Host& host, DialogControls& controls,
                                         const ConfigurationForm& form)
    : host_(host), controls_(controls), form_(form) {}

void ConfigurationDialog::load() {
    controls_.centreWindow();
    const std::string settings(form_.settings);
    const std::string preset =
        host_.readSetting(settings, settings, std::string(kPresetKey), std::string(kPresetDefault));
    controls_.setCyclesText(host_.readSetting(settings, settings, std::string(kCyclesKey),
                                              std::string(kCyclesDefault)));
    // An unknown preset (a hand-edited store) leaves every option unselected.
    for (const DisplayPreset& candidate : kDisplayPresets) {
        if (preset == candidate.number) {
            controls_.selectOption(optionNumber(candidate));
            break;
        }
    }
    if (!form_.chkIntro) return;
    // The launcher's default: the intro plays until "intro" says "0".
    storedIntro_ =
        host_.readSetting(settings, settings, std::string(kIntroKey), std::string(kIntroOn));
    introShown_ = storedIntro_ == kIntroOn;
    controls_.setIntroChecked(introShown_);
}

void ConfigurationDialog::cmdOkClicked() {
    if (!Cislo(host_, controls_.cyclesText())) {
        host_.messageBox(std::string(kInvalidCyclesMessage), MessageStyle::Warning,
                         std::string(kInvalidCyclesTitle));
        controls_.setCyclesText("");
        controls_.focusCycles();
        return;
    }
    // With no option selected nothing is stored, the count included.
    for (const DisplayPreset& preset : kDisplayPresets)
        if (controls_.optionSelected(optionNumber(preset))) store(preset);
    if (form_.chkIntro) storeIntro();
    host_.endProcess(0);
}

void ConfigurationDialog::cmdCancelClicked() { host_.endProcess(0); }

void ConfigurationDialog::closeBoxClicked() { host_.endProcess(0); }

void ConfigurationDialog::store(const DisplayPreset& preset) {
    const std::string settings(form_.settings);
    auto write = [&](std::string_view key, std::string_view value) {
        host_.writeSetting(settings, settings, std::string(key), std::string(value));
    };
    write("fullscreen", preset.fullscreen);
    write("fullfixed", preset.fullfixed);
    write("output", preset.output);
    write(kPresetKey, preset.number);
    // The box as the user left it, not the copy that was checked.
    write(kCyclesKey, controls_.cyclesText());
}

// The check box stands for "1" and "0". A stored value that is neither (set
// by hand) shows unchecked and stays as it is unless the box was changed.
void ConfigurationDialog::storeIntro() {
    const bool checked = controls_.introChecked();
    if (storedIntro_ != kIntroOn && storedIntro_ != kIntroOff && checked == introShown_) return;
    const std::string settings(form_.settings);
    host_.writeSetting(settings, settings, std::string(kIntroKey),
                       std::string(checked ? kIntroOn : kIntroOff));
}

}  // namespace kelmor
