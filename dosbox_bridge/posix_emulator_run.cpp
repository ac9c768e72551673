// SPDX-License-Identifier: GPL-3.0-or-later
#include "dosbox_bridge/posix_emulator_run.hpp"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <iterator>
#include <system_error>

#include "core/posix_files/posix_file_descriptor.hpp"

extern char** environ;

namespace kelmor::bridge {

namespace {

using posix_files::FileDescriptor;

// Signals handed on to the emulator, signals left to it, and those that
// stop a program on request (SIGKILL where nothing else would): its end by
// one of them is no failure.
constexpr int kHandedOn[] = {SIGTERM, SIGHUP};
constexpr int kLeftToIt[] = {SIGINT, SIGQUIT};
constexpr int kOnRequest[] = {SIGINT, SIGTERM, SIGHUP, SIGKILL};

// How long a wait for output lasts before the bridge looks whether the
// emulator has ended (a program it started may hold its output open).
constexpr int kLookEveryMs = 250;

volatile sig_atomic_t emulator = 0;

void handOn(int signal) {
    if (emulator > 0) kill(emulator, signal);
}

// Writes as much as it can; a closed terminal or a full disk loses the copy,
// never the emulator.
void writeOut(int fd, const char* data, std::size_t size) {
    while (fd >= 0 && size > 0) {
        const ssize_t written = write(fd, data, size);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return;
        data += written;
        size -= static_cast<std::size_t>(written);
    }
}

struct Pipe {
    FileDescriptor read{-1};
    FileDescriptor write{-1};
};

Pipe makePipe() {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) throw std::system_error(errno, std::generic_category(), "pipe");
    Pipe made{FileDescriptor(fds[0]), FileDescriptor(fds[1])};
    fcntl(made.read.get(), F_SETFL, O_NONBLOCK);
    return made;
}

// The spawn's setting: the emulator's output into the pipes, and the
// signals the bridge handles set back to their defaults.
class SpawnSetting {
public:
    SpawnSetting(int out, int err) {
        posix_spawn_file_actions_init(&actions_);
        posix_spawn_file_actions_adddup2(&actions_, out, STDOUT_FILENO);
        posix_spawn_file_actions_adddup2(&actions_, err, STDERR_FILENO);
        posix_spawnattr_init(&attributes_);
        sigset_t defaults, none;
        sigemptyset(&defaults);
        sigemptyset(&none);
        for (int signal : {SIGPIPE, SIGINT, SIGQUIT, SIGTERM, SIGHUP}) sigaddset(&defaults, signal);
        posix_spawnattr_setsigdefault(&attributes_, &defaults);
        posix_spawnattr_setsigmask(&attributes_, &none);
        posix_spawnattr_setflags(&attributes_, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
    }
    ~SpawnSetting() {
        posix_spawn_file_actions_destroy(&actions_);
        posix_spawnattr_destroy(&attributes_);
    }
    SpawnSetting(const SpawnSetting&) = delete;
    SpawnSetting& operator=(const SpawnSetting&) = delete;

    const posix_spawn_file_actions_t* actions() const { return &actions_; }
    const posix_spawnattr_t* attributes() const { return &attributes_; }

private:
    posix_spawn_file_actions_t actions_;
    posix_spawnattr_t attributes_;
};

void setHandler(int signal, void (*handler)(int)) {
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    sigaction(signal, &action, nullptr);
}

// The emulator's output until both its streams end, or it has ended and
// nothing more comes; true when it was reaped meanwhile, into `status`.
bool pump(pid_t child, int out, int err, const std::function<void(std::string_view)>& log,
          OutputWatch& watch, int& status) {
    pollfd streams[2] = {{out, POLLIN, 0}, {err, POLLIN, 0}};
    const int targets[2] = {STDOUT_FILENO, STDERR_FILENO};
    bool ended = false;
    char buffer[16384];
    while (streams[0].fd >= 0 || streams[1].fd >= 0) {
        const int ready = poll(streams, 2, ended ? 0 : kLookEveryMs);
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0) {
            if (ended || ready < 0) break;
            ended = waitpid(child, &status, WNOHANG) == child;
            continue;
        }
        for (int i = 0; i < 2; ++i) {
            if (streams[i].fd < 0 || streams[i].revents == 0) continue;
            const ssize_t got = read(streams[i].fd, buffer, sizeof buffer);
            if (got > 0) {
                const std::string_view piece(buffer, static_cast<std::size_t>(got));
                writeOut(targets[i], piece.data(), piece.size());
                log(piece);
                watch.take(piece);
            } else if (got == 0 || (errno != EINTR && errno != EAGAIN)) {
                streams[i].fd = -1;
            }
        }
    }
    return ended;
}

EmulatorEnd endOf(int status, std::chrono::steady_clock::time_point start) {
    EmulatorEnd end;
    end.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (WIFEXITED(status)) {
        end.exitCode = WEXITSTATUS(status);
    } else if (WIFSIGNALED(status)) {
        const int signal = WTERMSIG(status);
        end.exitCode = 128 + signal;
        end.signal = strsignal(signal);
        end.onRequest =
            std::find(std::begin(kOnRequest), std::end(kOnRequest), signal) != std::end(kOnRequest);
    }
    return end;
}

}  // namespace

RunningEmulator startEmulator(const std::string& program,
                              const std::vector<std::string>& arguments) {
    Pipe out = makePipe(), err = makePipe();
    std::vector<char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);

    // The bridge's own writes to a terminal that went away fail; they never end it.
    setHandler(SIGPIPE, SIG_IGN);
    for (int signal : kLeftToIt) setHandler(signal, SIG_IGN);
    // Handed on from the moment the emulator's id is known.
    sigset_t handedOn, before;
    sigemptyset(&handedOn);
    for (int signal : kHandedOn) sigaddset(&handedOn, signal);
    sigprocmask(SIG_BLOCK, &handedOn, &before);
    for (int signal : kHandedOn) setHandler(signal, handOn);

    const auto start = std::chrono::steady_clock::now();
    pid_t child = 0;
    const SpawnSetting setting(out.write.get(), err.write.get());
    const int error = posix_spawn(&child, program.c_str(), setting.actions(), setting.attributes(),
                                  argv.data(), environ);
    if (error == 0) emulator = child;
    sigprocmask(SIG_SETMASK, &before, nullptr);
    if (error != 0) throw std::system_error(error, std::generic_category(), program);
    return {child, FileDescriptor(out.read.release()), FileDescriptor(err.read.release()), start};
}

EmulatorRun finishEmulator(RunningEmulator& emulator,
                           const std::function<void(std::string_view)>& log) {
    EmulatorRun run;
    int status = 0;
    const auto child = static_cast<pid_t>(emulator.process);
    if (!pump(child, emulator.out.get(), emulator.err.get(), log, run.output, status))
        while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
        }
    run.end = endOf(status, emulator.start);
    return run;
}

}  // namespace kelmor::bridge
