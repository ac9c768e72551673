// SPDX-License-Identifier: GPL-3.0-or-later
#include "dosbox_bridge/posix_start_log.hpp"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <string_view>
#include <vector>

#include "core/posix/files/atomic_file.hpp"
#include "core/posix/files/config_folder.hpp"
#include "core/posix/files/posix_error.hpp"
#include "core/posix/files/host_path.hpp"

namespace kelmor::bridge {

namespace {

constexpr std::string_view kLogPrefix = "dosbox-";
constexpr std::string_view kLogSuffix = ".log";

bool isStartLog(std::string_view name) {
    return name.size() > kLogPrefix.size() + kLogSuffix.size() && name.substr(0, kLogPrefix.size()) == kLogPrefix &&
           name.substr(name.size() - kLogSuffix.size()) == kLogSuffix;
}

// The start logs in a folder, in name order: oldest first.
std::vector<std::string> startLogsIn(const std::string& folder) {
    std::vector<std::string> logs;
    DIR* const directory = opendir(folder.c_str());
    if (!directory) return logs;
    while (const dirent* entry = readdir(directory))
        if (isStartLog(entry->d_name)) logs.emplace_back(entry->d_name);
    closedir(directory);
    std::sort(logs.begin(), logs.end());
    return logs;
}

}  // namespace

std::string startLogFolder() {
    return posix::joinHostPath(posix::userStateHome(), "kelmor");
}

StartLog openStartLog(const std::string& folder, long process, std::time_t now) {
    posix::createFolders(folder, 0700);
    const std::vector<std::string> logs = startLogsIn(folder);
    for (std::size_t i = 0; i + kKeptStartLogs <= logs.size(); ++i)
        unlink(posix::joinHostPath(folder, logs[i]).c_str());

    char stamp[32] = "";
    std::tm local{};
    if (localtime_r(&now, &local)) std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    // The process id in as many digits as any has, so that starts within
    // one second sort too, mostly.
    char id[24];
    std::snprintf(id, sizeof id, "%07ld", process);
    const std::string path =
        posix::joinHostPath(folder, std::string(kLogPrefix) + stamp + "-" + id + std::string(kLogSuffix));
    posix::FileDescriptor file(open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0600));
    if (file.get() < 0) posix::throwErrno(path);
    return {std::move(file), path};
}

}  // namespace kelmor::bridge
