#include "config_tool/configuration_dialog.hpp"

#include "config_tool/cislo.hpp"
#include "core/host.hpp"

namespace kelmor {
namespace {

constexpr std::string_view kPresetKey = "predvolba";
constexpr std::string_view kPresetDefault = "1";
constexpr std::string_view kCyclesKey = "cycles";
constexpr std::string_view kCyclesDefault = "20000";

int optionNumber(const DisplayPreset& preset) {
    return static_cast<int>(&preset - kDisplayPresets.data()) + 1;
}

}  // namespace

ConfigurationDialog::ConfigurationDialog(Host& host, DialogControls& controls)
    : host_(host), controls_(controls) {}

void ConfigurationDialog::load() {
    controls_.centreWindow();
    const std::string settings(kConfigurationSettings);
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
    host_.endProcess(0);
}

void ConfigurationDialog::cmdCancelClicked() { host_.endProcess(0); }

void ConfigurationDialog::closeBoxClicked() { host_.endProcess(0); }

void ConfigurationDialog::store(const DisplayPreset& preset) {
    const std::string settings(kConfigurationSettings);
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

}  // namespace kelmor
