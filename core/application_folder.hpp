// SPDX-License-Identifier: GPL-3.0-or-later
// The launchers' first step on every host: refusing to run from an
// application folder the host cannot serve the programs from
// (Host::applicationFolderRefusal()).
#pragma once

#include <string_view>

namespace kelmor {

class Host;

// The exit code of a program that refuses to run from its folder.
inline constexpr int kRefusedFolderExitCode = 2;

// Shows the host's refusal, titled with the program title, and ends the
// process with kRefusedFolderExitCode before anything is read or written;
// returns when the folder can be used.
void refuseUnusableApplicationFolder(Host& host, std::string_view programTitle);

}  // namespace kelmor
