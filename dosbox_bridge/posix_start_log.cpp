// SPDX-License-Identifier: GPL-3.0-or-later
#include "dosbox_bridge/posix_start_log.hpp"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string_view>
#include <system_error>
#include <tuple>
#include <vector>

#include "core/posix_files/posix_atomic_file.hpp"
#include "core/posix_files/posix_config_folder.hpp"
#include "core/posix_files/posix_host_path.hpp"
#include "core/posix_files/posix_error.hpp"

namespace kelmor::bridge {

namespace {

constexpr std::string_view kLogPrefix = "dosbox-";
constexpr std::string_view kLogSuffix = ".log";

// A log in the folder, as its name tells: the sequence (0 for the names
// of earlier versions, "dosbox-<local date>-<time>-<process id>.log",
// which are older than any other) and the bridge that wrote it.
struct LogName {
    unsigned long long sequence = 0;
    std::string name;
    long process = 0;
};

bool allDigits(std::string_view text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::optional<LogName> logName(std::string_view name) {
    if (name.size() <= kLogPrefix.size() + kLogSuffix.size() || !name.starts_with(kLogPrefix) ||
        !name.ends_with(kLogSuffix))
        return std::nullopt;
    const std::string_view middle =
        name.substr(kLogPrefix.size(), name.size() - kLogPrefix.size() - kLogSuffix.size());
    LogName log{0, std::string(name), 0};
    const std::size_t lastDash = middle.rfind('-');
    const std::string_view process =
        middle.substr(lastDash == std::string_view::npos ? 0 : lastDash + 1);
    if (allDigits(process) && process.size() < 10) log.process = std::stol(std::string(process));
    const std::size_t firstDash = middle.find('-');
    const std::string_view sequence = middle.substr(0, firstDash);
    const bool utcStamp = firstDash != lastDash && middle[lastDash - 1] == 'Z';
    if (utcStamp && allDigits(sequence) && sequence.size() < 20)
        log.sequence = std::stoull(std::string(sequence));
    return log;
}

// The logs in a folder, oldest first.
std::vector<LogName> startLogsIn(const std::string& folder) {
    std::vector<LogName> logs;
    DIR* const directory = opendir(folder.c_str());
    if (!directory) return logs;
    while (const dirent* entry = readdir(directory))
        if (auto log = logName(entry->d_name)) logs.push_back(std::move(*log));
    closedir(directory);
    std::sort(logs.begin(), logs.end(), [](const LogName& a, const LogName& b) {
        return std::tie(a.sequence, a.name) < std::tie(b.sequence, b.name);
    });
    return logs;
}

// Whether the bridge that writes a log still runs. A process of another
// user under that id is another program.
bool stillRuns(long process) { return process > 0 && kill(static_cast<pid_t>(process), 0) == 0; }

std::string utcStamp(std::time_t now) {
    char stamp[32] = "";
    std::tm utc{};
    if (gmtime_r(&now, &utc)) std::strftime(stamp, sizeof stamp, "%Y%m%dT%H%M%SZ", &utc);
    return stamp;
}

// Removes the logs of ended bridges beyond the newest kKeptStartLogs - 1,
// and names this start's: the sequence after the highest there.
std::string nextLogName(const std::string& folder, long process, std::time_t now) {
    const std::vector<LogName> logs = startLogsIn(folder);
    for (std::size_t i = 0; i + kKeptStartLogs <= logs.size(); ++i)
        if (!stillRuns(logs[i].process))
            unlink(posix_files::joinHostPath(folder, logs[i].name).c_str());
    const unsigned long long sequence = logs.empty() ? 1 : logs.back().sequence + 1;
    char name[96];
    std::snprintf(name, sizeof name, "dosbox-%08llu-%s-%ld.log", sequence, utcStamp(now).c_str(),
                  process);
    return name;
}

}  // namespace

std::string startLogFolder() {
    return posix_files::joinHostPath(posix_files::userStateHome(), "kelmor");
}

StartLog StartLog::open(const std::string& folder, long process, std::time_t now) {
    std::string path;
    try {
        posix_files::createFolders(folder, 0700);
        path = posix_files::joinHostPath(folder, nextLogName(folder, process, now));
        posix_files::FileDescriptor file(
            ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
        if (file.get() < 0) posix_files::throwErrno(path);
        return StartLog(std::move(file), std::move(path), {});
    } catch (const std::system_error& failure) {
        return StartLog(posix_files::FileDescriptor(-1), std::move(path), failure.what());
    }
}

void StartLog::write(std::string_view text) {
    while (whole() && !text.empty()) {
        const ssize_t written = ::write(file_.get(), text.data(), text.size());
        if (written < 0 && errno == EINTR) continue;
        if (written < 0) failure_ = path_ + ": " + std::strerror(errno);
        if (written <= 0) return;
        text.remove_prefix(static_cast<std::size_t>(written));
    }
}

KeptOutput StartLog::finish() {
    if (file_.get() >= 0) {
        close(file_.release());
        if (!whole()) unlink(path_.c_str());
    }
    return whole() ? KeptOutput{path_, {}} : KeptOutput{{}, failure_};
}

}  // namespace kelmor::bridge
