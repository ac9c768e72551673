// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/linux_emulators/linux_emulator_probe.hpp"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <string_view>
#include <system_error>
#include <vector>

#include "core/posix_files/posix_file_descriptor.hpp"
#include "core/posix_files/posix_error.hpp"

extern char** environ;

namespace kelmor::linux_emulators {

namespace {

// Pointed at the probe's own folder.
constexpr std::string_view kPrivateFolders[] = {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME",
                                                "XDG_CACHE_HOME", "XDG_STATE_HOME"};
// Left out: no window may open.
constexpr std::string_view kDisplays[] = {"DISPLAY", "WAYLAND_DISPLAY"};

// The start of a probe folder's name.
constexpr std::string_view kProbeFolderName = "kelmor-probe-";

// How often a probe whose output has ended looks whether it has ended too.
constexpr std::chrono::milliseconds kLookEvery{20};

bool named(std::string_view entry, std::string_view name) {
    return entry.size() > name.size() && entry.substr(0, name.size()) == name &&
           entry[name.size()] == '=';
}

template <std::size_t N>
bool namedAnyOf(std::string_view entry, const std::string_view (&names)[N]) {
    return std::any_of(std::begin(names), std::end(names),
                       [&](std::string_view name) { return named(entry, name); });
}

// This process's environment, with the home and XDG folders at `folder`,
// no display, and the mark of a probe.
std::vector<std::string> probeEnvironment(const std::string& folder) {
    std::vector<std::string> environment;
    for (char** entry = environ; *entry != nullptr; ++entry)
        if (!namedAnyOf(*entry, kPrivateFolders) && !namedAnyOf(*entry, kDisplays) &&
            !named(*entry, kProbeVariable))
            environment.emplace_back(*entry);
    for (std::string_view name : kPrivateFolders)
        environment.push_back(std::string(name) + "=" + folder);
    environment.push_back(std::string(kProbeVariable) + "=1");
    return environment;
}

std::vector<char*> pointers(std::vector<std::string>& texts) {
    std::vector<char*> result;
    for (std::string& text : texts) result.push_back(text.data());
    result.push_back(nullptr);
    return result;
}

// Removes a folder and all in it, folders the program made unreadable included.
void removeTree(const std::filesystem::path& path) {
    std::error_code error;
    if (std::filesystem::symlink_status(path, error).type() ==
        std::filesystem::file_type::directory) {
        chmod(path.c_str(), 0700);
        for (const auto& entry : std::filesystem::directory_iterator(path, error))
            removeTree(entry.path());
    }
    std::filesystem::remove(path, error);
}

// The probe's private folder, removed with what the program put in it.
class ProbeFolder {
public:
    ProbeFolder() {
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern = std::string(tmp != nullptr && tmp[0] == '/' ? tmp : "/tmp") + "/" +
                              std::string(kProbeFolderName) + "XXXXXX";
        if (mkdtemp(pattern.data()) == nullptr) posix_files::throwErrno(pattern);
        path_ = pattern;
    }
    ProbeFolder(const ProbeFolder&) = delete;
    ProbeFolder& operator=(const ProbeFolder&) = delete;
    ~ProbeFolder() { removeTree(path_); }
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

// The spawn's setting: input from /dev/null, both outputs into `out`, the
// private folder as its working folder, a process group of its own (so
// that whatever it starts ends with it), default signals.
class ProbeSpawn {
public:
    ProbeSpawn(int out, const std::string& folder) {
        posix_spawn_file_actions_init(&actions_);
        posix_spawn_file_actions_addopen(&actions_, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_adddup2(&actions_, out, STDOUT_FILENO);
        posix_spawn_file_actions_adddup2(&actions_, out, STDERR_FILENO);
        posix_spawn_file_actions_addchdir_np(&actions_, folder.c_str());
        posix_spawnattr_init(&attributes_);
        sigset_t defaults, none;
        sigemptyset(&defaults);
        sigemptyset(&none);
        for (int signal : {SIGPIPE, SIGINT, SIGQUIT, SIGTERM, SIGHUP, SIGCHLD})
            sigaddset(&defaults, signal);
        posix_spawnattr_setsigdefault(&attributes_, &defaults);
        posix_spawnattr_setsigmask(&attributes_, &none);
        posix_spawnattr_setpgroup(&attributes_, 0);
        posix_spawnattr_setflags(
            &attributes_, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETPGROUP);
    }
    ~ProbeSpawn() {
        posix_spawn_file_actions_destroy(&actions_);
        posix_spawnattr_destroy(&attributes_);
    }
    ProbeSpawn(const ProbeSpawn&) = delete;
    ProbeSpawn& operator=(const ProbeSpawn&) = delete;

    const posix_spawn_file_actions_t* actions() const { return &actions_; }
    const posix_spawnattr_t* attributes() const { return &attributes_; }

private:
    posix_spawn_file_actions_t actions_;
    posix_spawnattr_t attributes_;
};

// Whether the child has ended; it stays to be reaped, so its process
// group cannot be another's yet.
bool hasEnded(pid_t child) {
    siginfo_t info{};
    return waitid(P_PID, static_cast<id_t>(child), &info, WEXITED | WNOHANG | WNOWAIT) == 0 &&
           info.si_pid == child;
}

// What the child prints, up to kProbeOutputLimit.
struct Output {
    posix_files::FileDescriptor pipe;
    bool open = true;
    std::string text{};
};

// Takes what is in the pipe; closes it once it has ended or the limit is reached.
void take(Output& output) {
    char buffer[4096];
    while (output.open) {
        const ssize_t got = read(output.pipe.get(), buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0 && errno == EAGAIN) return;
        if (got > 0)
            output.text.append(buffer, std::min(static_cast<std::size_t>(got),
                                                kProbeOutputLimit - output.text.size()));
        output.open = got > 0 && output.text.size() < kProbeOutputLimit;
    }
    // A program that prints on gets an end of pipe; one that waits for it is killed.
    if (output.pipe.get() >= 0 && !output.open) close(output.pipe.release());
}

// Takes what the child prints until it ends; false when `limit` came first.
bool collect(pid_t child, Output& output, std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) return false;
        pollfd stream{output.pipe.get(), POLLIN, 0};
        const int wait = static_cast<int>(std::min(left, kLookEvery).count());
        if (poll(&stream, output.open ? 1 : 0, wait) > 0) take(output);
        if (hasEnded(child)) {
            take(output);
            return true;
        }
    }
}

}  // namespace

bool insideAProbe() {
    if (const char* marked = std::getenv(kProbeVariable); marked != nullptr && marked[0] != '\0')
        return true;
    std::error_code error;
    const std::string folder = std::filesystem::current_path(error).filename().string();
    return !error && folder.starts_with(kProbeFolderName);
}

std::optional<EmulatorIdentity> probeEmulator(const std::string& program,
                                              const std::string& shownAs,
                                              std::chrono::milliseconds limit) {
    if (insideAProbe()) return std::nullopt;
    try {
        const ProbeFolder folder;
        int fds[2];
        if (pipe2(fds, O_CLOEXEC) != 0) posix_files::throwErrno("pipe");
        Output output{posix_files::FileDescriptor(fds[0])};
        fcntl(output.pipe.get(), F_SETFL, O_NONBLOCK);
        std::vector<std::string> arguments{shownAs, "--version"};
        std::vector<std::string> environment = probeEnvironment(folder.path());
        pid_t child = 0;
        {
            const posix_files::FileDescriptor writing(fds[1]);  // the child's alone once it runs
            const ProbeSpawn spawn(writing.get(), folder.path());
            if (posix_spawn(&child, program.c_str(), spawn.actions(), spawn.attributes(),
                            pointers(arguments).data(), pointers(environment).data()) != 0)
                return std::nullopt;
        }
        const bool ended = collect(child, output, limit);
        // Whatever it started goes with it, before the folder does.
        kill(-child, SIGKILL);
        while (waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
        }
        return ended ? emulatorFromVersionOutput(output.text) : EmulatorIdentity{};
    } catch (const std::system_error&) {
        return std::nullopt;
    }
}

}  // namespace kelmor::linux_emulators
