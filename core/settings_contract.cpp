// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/settings_contract.hpp"

#include "core/host.hpp"

namespace kelmor {

std::string storedSetting(Host& host, std::string_view settings, const Setting& setting) {
    const std::string name(settings);
    return host.readSetting(name, name, std::string(setting.key),
                            std::string(setting.defaultValue));
}

void storeSetting(Host& host, std::string_view settings, const Setting& setting,
                  std::string_view value) {
    const std::string name(settings);
    host.writeSetting(name, name, std::string(setting.key), std::string(value));
}

}  // namespace kelmor
