// SPDX-License-Identifier: GPL-3.0-or-later
// The emulator run as the bridge's child: what it prints goes where it went
// before (the bridge's own stdout and stderr, a terminal where there is
// one) and into this start's log, and is watched (OutputWatch); the bridge
// waits for its end. It is started first, and the log made while it starts.
#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/posix_files/posix_file_descriptor.hpp"
#include "dosbox_bridge/emulator_outcome.hpp"

namespace kelmor::bridge {

// The emulator started, its output not read yet: the pipes hold it.
struct RunningEmulator {
    long process = 0;
    posix_files::FileDescriptor out{-1};
    posix_files::FileDescriptor err{-1};
    std::chrono::steady_clock::time_point start{};
};

struct EmulatorRun {
    EmulatorEnd end;
    OutputWatch output;
};

// Starts `program` with `arguments` (argv[0] first) and this process's
// environment. From then on SIGTERM and SIGHUP sent to the bridge are
// handed on to it, and SIGINT and SIGQUIT, which a terminal sends to both,
// are left to it. Throws std::system_error (the host's error, ENOENT a
// program that is not there) when it cannot be started.
RunningEmulator startEmulator(const std::string& program,
                              const std::vector<std::string>& arguments);

// Hands on its output until it ends, each piece to `log` as well, and
// waits for its end.
EmulatorRun finishEmulator(RunningEmulator& emulator,
                           const std::function<void(std::string_view)>& log);

}  // namespace kelmor::bridge
