// SPDX-License-Identifier: GPL-3.0-or-later
#include "config_tool/user_configuration.hpp"

#include <array>
#include <utility>

#include "core/ascii_text.hpp"
#include "core/ini_text.hpp"

namespace kelmor {
namespace {

// Where each DOSBox reads the settings the dialog writes: the template's
// keys, and DOSBox Staging's names for the CPU's speed, which the kit
// writes for it in place of "cycles".
constexpr std::array<std::pair<std::string_view, std::string_view>, 6> kDialogSettings{{
    {"sdl", "fullscreen"},
    {"sdl", "fullfixed"},
    {"sdl", "output"},
    {"cpu", "cycles"},
    {"cpu", "cpu_cycles"},
    {"cpu", "cpu_cycles_protected"},
}};

// "a", "a and b", "a, b and c".
std::string listed(const std::vector<std::string>& names) {
    std::string text;
    for (std::size_t i = 0; i < names.size(); ++i)
        text += (i == 0 ? "" : i + 1 == names.size() ? " and " : ", ") + names[i];
    return text;
}

}  // namespace

std::vector<std::string> settingsOverridden(std::string_view configuration) {
    const IniText text(configuration);
    std::vector<std::string> names;
    for (const auto& [section, key] : kDialogSettings) {
        const auto value = text.value(section, key);
        if (value && !trimBlanks(*value, kBlanksAndCr).empty()) names.emplace_back(key);
    }
    return names;
}

std::string overridesNotice(std::string_view configuration, std::string_view path) {
    const std::vector<std::string> names = settingsOverridden(configuration);
    if (names.empty()) return {};
    return "Your " + std::string(kUserConfigurationName) + " sets " + listed(names) +
           "; its values win: " + std::string(path);
}

}  // namespace kelmor
