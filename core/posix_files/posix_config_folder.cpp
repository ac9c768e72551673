// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/posix_files/posix_config_folder.hpp"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

#include "core/posix_files/posix_host_path.hpp"

namespace kelmor::posix_files {

std::string userHomeFolder() {
    const char* home = std::getenv("HOME");
    if (home == nullptr || home[0] == '\0') {
        const passwd* user = getpwuid(getuid());
        home = user != nullptr ? user->pw_dir : nullptr;
    }
    return home != nullptr && home[0] != '\0' ? home : "/";
}

std::string userConfigHome(const std::string& configured) {
    if (!configured.empty()) return configured;
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg != nullptr && xdg[0] == '/') return xdg;
    return joinHostPath(userHomeFolder(), ".config");
}

std::string userCacheHome(const std::string& configured) {
    if (!configured.empty()) return configured;
    const char* xdg = std::getenv("XDG_CACHE_HOME");
    if (xdg != nullptr && xdg[0] == '/') return xdg;
    return joinHostPath(userHomeFolder(), ".cache");
}

std::string userDataHome() {
    const char* xdg = std::getenv("XDG_DATA_HOME");
    if (xdg != nullptr && xdg[0] == '/') return xdg;
    return joinHostPath(userHomeFolder(), ".local/share");
}

std::string userStateHome() {
    const char* xdg = std::getenv("XDG_STATE_HOME");
    if (xdg != nullptr && xdg[0] == '/') return xdg;
    return joinHostPath(userHomeFolder(), ".local/state");
}

std::string kitConfigFolder(const std::string& configHome) {
    return joinHostPath(configHome, "kelmor");
}

}  // namespace kelmor::posix_files
