// SPDX-License-Identifier: GPL-3.0-or-later
#include "dosbox_bridge/posix_message.hpp"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <utility>
#include <vector>

#include "core/posix_files/posix_host_path.hpp"

extern char** environ;

namespace kelmor::bridge {

namespace {

std::function<void(std::string_view)> logOfSaid;
std::vector<std::string> waitingForTheLog;

}  // namespace

void say(const std::string& text) {
    const std::string line = "dosbox (Kelmor bridge): " + text + "\n";
    std::fputs(line.c_str(), stderr);
    std::fflush(stderr);
    if (logOfSaid)
        logOfSaid(line);
    else
        waitingForTheLog.push_back(line);
}

void sayAlsoInto(std::function<void(std::string_view)> log) {
    if (log)
        for (const std::string& line : waitingForTheLog) log(line);
    waitingForTheLog.clear();
    logOfSaid = std::move(log);
}

bool needsABox() {
    const char* display = std::getenv("DISPLAY");
    return !isatty(STDERR_FILENO) && display && *display;
}

void showBox(const std::string& programFolder, const std::string& text, MessageStyle style) {
    const std::string program = posix_files::joinHostPath(programFolder, kMessageProgram);
    const std::string title(kBridgeTitle), number = std::to_string(static_cast<int>(style));
    char* const argv[] = {const_cast<char*>(program.c_str()), const_cast<char*>(title.c_str()),
                          const_cast<char*>(number.c_str()), const_cast<char*>(text.c_str()),
                          nullptr};
    pid_t child = 0;
    if (posix_spawn(&child, program.c_str(), nullptr, nullptr, argv, environ) != 0) return;
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
}

}  // namespace kelmor::bridge
