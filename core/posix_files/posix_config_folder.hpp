// SPDX-License-Identifier: GPL-3.0-or-later
// Where the kit keeps its per-user files.
#pragma once

#include <string>

namespace kelmor::posix_files {

// The user's home folder: $HOME, else the one in the user database, else "/".
std::string userHomeFolder();

// The per-user configuration folder: `configured` when not empty, else
// $XDG_CONFIG_HOME when it is an absolute path, else $HOME/.config (the home
// folder from the user database when HOME is not set).
std::string userConfigHome(const std::string& configured = {});

// The per-user cache folder: `configured` when not empty, else
// $XDG_CACHE_HOME when it is an absolute path, else $HOME/.cache.
std::string userCacheHome(const std::string& configured = {});

// The per-user data folder: $XDG_DATA_HOME when it is an absolute path,
// else $HOME/.local/share.
std::string userDataHome();

// The per-user state folder, where logs are kept: $XDG_STATE_HOME when it
// is an absolute path, else $HOME/.local/state.
std::string userStateHome();

// The kit's folder in a configuration folder: "<config home>/kelmor".
std::string kitConfigFolder(const std::string& configHome);

}  // namespace kelmor::posix_files
