// SPDX-License-Identifier: GPL-3.0-or-later
// What the emulator printed at the bridge's last starts, and what the bridge
// said of them: one log per start in "<state home>/kelmor"
// (${XDG_STATE_HOME:-~/.local/state}), named
// "dosbox-<sequence>-<UTC date>T<time>Z-<process id>.log". The sequence is
// one above the highest in the folder, so that the names sort as the logs
// were made, whatever the clock or the time zone says. A start removes the
// logs of ended bridges beyond the newest kKeptStartLogs - 1 before it makes
// its own: the folder holds the logs of the last kKeptStartLogs starts and
// of every bridge that still runs (a bridge runs as long as its emulator,
// and shows its report before it ends). A log is the user's alone (0600):
// the output names the user's files.
#pragma once

#include <ctime>
#include <string>
#include <string_view>
#include <utility>

#include "core/posix_files/posix_file_descriptor.hpp"
#include "dosbox_bridge/emulator_outcome.hpp"

namespace kelmor::bridge {

inline constexpr std::size_t kKeptStartLogs = 5;

// The folder of the logs: "<state home>/kelmor".
std::string startLogFolder();

// This start's log, or why there is none. A log that a write fails to
// (a full disk) holds less than the start printed: it is removed at the
// end and counts as missing.
class StartLog {
public:
    // Makes the log in `folder` (created 0700 when missing) for the
    // process `process` started at `now`, after removing the older logs
    // beyond those kept. One that cannot be made is missing, with why.
    static StartLog open(const std::string& folder, long process, std::time_t now);

    // Appends `text`; nothing once a write has failed.
    void write(std::string_view text);

    // Whether the log is there and each write so far went into it.
    bool whole() const { return failure_.empty(); }
    const std::string& failure() const { return failure_; }

    // Ends the log: where the output is kept, or why nowhere.
    KeptOutput finish();

private:
    StartLog(posix_files::FileDescriptor file, std::string path, std::string failure)
        : file_(std::move(file)), path_(std::move(path)), failure_(std::move(failure)) {}

    posix_files::FileDescriptor file_;
    std::string path_;
    std::string failure_;  // the host's words: "<path>: No space left on device"
};

}  // namespace kelmor::bridge
