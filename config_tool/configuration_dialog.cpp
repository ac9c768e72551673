// SPDX-License-Identifier: GPL-3.0-or-later
#include "config_tool/configuration_dialog.hpp"

#include "config_tool/cislo.hpp"
#include "core/host.hpp"
#include "core/settings_contract.hpp"

namespace kelmor {
namespace {

int optionNumber(const DisplayPreset& preset) {
    return static_cast<int>(&preset - kDisplayPresets.data()) + 1;
}

}  // namespace

ConfigurationDialog::ConfigurationDialog(Host& host, DialogControls& controls,
                                         const ConfigurationForm& form)
    : host_(host), controls_(controls), form_(form) {}

void ConfigurationDialog::load() {
    controls_.centreWindow();
    const std::string preset = storedSetting(host_, form_.settings, kPresetSetting);
    controls_.setCyclesText(storedSetting(host_, form_.settings, kCyclesSetting));
    // An unknown preset (a hand-edited store) leaves every option unselected.
    for (const DisplayPreset& candidate : kDisplayPresets) {
        if (preset == candidate.number) {
            controls_.selectOption(optionNumber(candidate));
            break;
        }
    }
    if (!form_.chkIntro) return;
    // The launcher's default: the intro plays until the store says kIntroOff.
    storedIntro_ = storedSetting(host_, form_.settings, kIntroSetting);
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
    auto write = [&](const Setting& setting, std::string_view value) {
        storeSetting(host_, form_.settings, setting, value);
    };
    write(kFullscreenSetting, preset.fullscreen);
    write(kFullfixedSetting, preset.fullfixed);
    write(kOutputSetting, preset.output);
    write(kPresetSetting, preset.number);
    // The box as the user left it, not the copy that was checked.
    write(kCyclesSetting, controls_.cyclesText());
}

// The check box stands for "1" and "0". A stored value that is neither (set
// by hand) shows unchecked and stays as it is unless the box was changed.
void ConfigurationDialog::storeIntro() {
    const bool checked = controls_.introChecked();
    if (storedIntro_ != kIntroOn && storedIntro_ != kIntroOff && checked == introShown_) return;
    storeSetting(host_, form_.settings, kIntroSetting, checked ? kIntroOn : kIntroOff);
}

}  // namespace kelmor
