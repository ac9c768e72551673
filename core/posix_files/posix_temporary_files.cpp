// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/posix_files/posix_temporary_files.hpp"

#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <memory>
#include <set>
#include <string_view>

#include "core/posix_files/posix_host_path.hpp"

namespace kelmor::posix_files {

namespace {

constexpr std::string_view kPrefix = ".kelmor-";
constexpr std::string_view kSuffix = ".tmp";
constexpr std::array<int, 3> kEndingSignals{SIGTERM, SIGINT, SIGHUP};

// The open temporary files, readable from a signal handler: a slot's path is
// complete before the slot is marked used, and only then.
struct Slot {
    std::atomic<bool> used{false};
    char path[PATH_MAX];
};
std::array<Slot, 8> slots;

extern "C" void removeAndEnd(int signal) {
    for (Slot& slot : slots)
        if (slot.used.load(std::memory_order_acquire)) unlink(slot.path);
    // SA_RESETHAND gave the signal its default action back; raised again it
    // ends the process as soon as this handler returns.
    raise(signal);
}

void handleEndingSignals() {
    static bool installed = false;
    if (installed) return;
    installed = true;
    for (int signal : kEndingSignals) {
        struct sigaction current {};
        if (sigaction(signal, nullptr, &current) != 0 || current.sa_handler != SIG_DFL) continue;
        struct sigaction removing {};
        removing.sa_handler = removeAndEnd;
        sigfillset(&removing.sa_mask);
        removing.sa_flags = SA_RESETHAND;
        sigaction(signal, &removing, nullptr);
    }
}

bool allDigits(std::string_view text) {
    if (text.empty()) return false;
    for (char c : text)
        if (c < '0' || c > '9') return false;
    return true;
}

// The process id in a temporary file's name; 0 when it is no such name.
pid_t ownerOf(std::string_view name) {
    if (name.size() <= kPrefix.size() + kSuffix.size() ||
        name.substr(0, kPrefix.size()) != kPrefix ||
        name.substr(name.size() - kSuffix.size()) != kSuffix)
        return 0;
    name = name.substr(kPrefix.size(), name.size() - kPrefix.size() - kSuffix.size());
    const std::size_t dash = name.find('-');
    if (dash == std::string_view::npos || !allDigits(name.substr(0, dash)) ||
        !allDigits(name.substr(dash + 1)) || dash > 9)
        return 0;
    return static_cast<pid_t>(std::stol(std::string(name.substr(0, dash))));
}

struct DirectoryCloser {
    void operator()(DIR* directory) const { closedir(directory); }
};

}  // namespace

bool processIsGone(long process) {
    return kill(static_cast<pid_t>(process), 0) != 0 && errno == ESRCH;
}

std::string temporaryFileName() {
    static unsigned long counter = 0;
    return std::string(kPrefix) + std::to_string(getpid()) + "-" + std::to_string(++counter) +
           std::string(kSuffix);
}

RemovedOnSignal::RemovedOnSignal(const std::string& path) : slot_(-1) {
    if (path.size() >= PATH_MAX) return;
    handleEndingSignals();
    for (std::size_t i = 0; i < slots.size(); ++i) {
        if (slots[i].used.load(std::memory_order_relaxed)) continue;
        std::memcpy(slots[i].path, path.c_str(), path.size() + 1);
        slots[i].used.store(true, std::memory_order_release);
        slot_ = static_cast<int>(i);
        return;
    }
}

RemovedOnSignal::~RemovedOnSignal() {
    if (slot_ >= 0)
        slots[static_cast<std::size_t>(slot_)].used.store(false, std::memory_order_release);
}

namespace {

// Each folder this process has swept.
std::set<std::string>& sweptFolders() {
    static std::set<std::string> swept;
    return swept;
}

void removeStaleOne(const std::string& folder, const char* name) {
    const pid_t process = ownerOf(name);
    if (process <= 0 || process == getpid() || !processIsGone(process)) return;
    const std::string path = joinHostPath(folder, name);
    struct stat status {};
    if (lstat(path.c_str(), &status) != 0) return;
    if (S_ISREG(status.st_mode) && status.st_uid == geteuid()) unlink(path.c_str());
}

}  // namespace

void removeStaleTemporaryFiles(const std::string& folder) {
    if (sweptFolders().count(folder) != 0) return;
    sweptFolders().insert(folder);
    const std::unique_ptr<DIR, DirectoryCloser> directory(opendir(folder.c_str()));
    if (!directory) return;
    while (const dirent* entry = readdir(directory.get())) removeStaleOne(folder, entry->d_name);
}

void removeStaleTemporaryFiles(const std::string& folder, const std::vector<std::string>& names) {
    if (!sweptFolders().insert(folder).second) return;
    for (const std::string& name : names) removeStaleOne(folder, name.c_str());
}

}  // namespace kelmor::posix_files
