// The emulator run as the bridge's child: what it prints goes where it went
// before (the bridge's own stdout and stderr, a terminal where there is
// one) and into this start's log, and is watched (OutputWatch); the bridge
// waits for its end.
#pragma once

#include <string>
#include <vector>

#include "dosbox_bridge/emulator_outcome.hpp"

namespace kelmor::bridge {

struct EmulatorRun {
    EmulatorEnd end;
    OutputWatch output;
};

// Starts `program` with `arguments` (argv[0] first) and this process's
// environment, and waits until it ends. Its output goes to `log` as well,
// unless that is negative. While it runs, SIGTERM and SIGHUP sent to the
// bridge are handed on to it, and SIGINT and SIGQUIT, which a terminal
// sends to both, are left to it. Throws std::system_error (the host's
// error, ENOENT a program that is not there) when it cannot be started.
EmulatorRun runEmulator(const std::string& program, const std::vector<std::string>& arguments, int log);

}  // namespace kelmor::bridge
