// SPDX-License-Identifier: GPL-3.0-or-later
// What the emulator printed at the bridge's last starts: one log per start
// in "<state home>/kelmor" (${XDG_STATE_HOME:-~/.local/state}), named
// "dosbox-<date>-<time>-<process id>.log", so that their names sort as the
// starts do. A start removes all but the newest kKeptStartLogs - 1 before
// it makes its own, so the folder holds the last kKeptStartLogs. A log is
// the user's alone (0600): the output names the user's files.
#pragma once

#include <ctime>
#include <string>

#include "core/posix/files/file_descriptor.hpp"

namespace kelmor::bridge {

inline constexpr std::size_t kKeptStartLogs = 5;

// The folder of the logs: "<state home>/kelmor".
std::string startLogFolder();

struct StartLog {
    posix::FileDescriptor file;
    std::string path;
};

// Makes this start's log in `folder` (created 0700 when missing), for the
// process `process` started at `now`, after removing the older logs beyond
// those kept. Throws std::system_error when it cannot be made.
StartLog openStartLog(const std::string& folder, long process, std::time_t now);

}  // namespace kelmor::bridge
