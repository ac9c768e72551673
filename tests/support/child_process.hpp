// SPDX-License-Identifier: GPL-3.0-or-later
// Running a piece of a test in a child process: as an unprivileged user (so
// permissions hold even when the tests run as root), with a small file size
// limit (so writes fail as they do on a full disc), or on a small disk of
// its own (so they fail as on a full disk).
#pragma once

#include <sched.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <system_error>

namespace kelmor::test {

// The errno a host operation fails with; 0 when it succeeds.
inline int failureOf(const std::function<void()>& operation) {
    try {
        operation();
    } catch (const std::system_error& failure) {
        return failure.code().value();
    }
    return 0;
}

// failureOf() in a child process (-1 when it cannot tell), prepared first.
// With `unprivileged` the child gives up root, so permissions hold for it.
inline int failureInChild(const std::function<void()>& operation, bool unprivileged,
                          const std::function<void()>& prepare = {}) {
    const pid_t child = fork();
    if (child == 0) {
        if (unprivileged && geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
            _exit(255);
        if (prepare) prepare();
        _exit(failureOf(operation));
    }
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status) == 255 ? -1 : WEXITSTATUS(status);
}

// Writes beyond `bytes` fail with EFBIG, as writes to a full disc fail.
inline void limitFileSize(rlim_t bytes) {
    signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{bytes, bytes};
    setrlimit(RLIMIT_FSIZE, &limit);
}

// Runs `scene` in a child process whose `folder` is a disk of its own, a
// tmpfs of `bytes`, so that writes there fail as on a full disk (ENOSPC).
// The mount lives in a mount namespace of the child's own (in a user
// namespace too where the tests do not run as root), which nobody else sees
// and which goes with the child. Returns what `scene` returns; nothing where
// the system refuses such a namespace or mount.
inline std::optional<int> onDiskOfItsOwn(const std::string& folder, std::size_t bytes,
                                         const std::function<int()>& scene) {
    constexpr int kRefused = 125;
    const std::string user = std::to_string(geteuid()), group = std::to_string(getegid());
    const auto map = [](const char* file, const std::string& text) {
        return static_cast<bool>(std::ofstream(file) << text << std::flush);
    };
    const pid_t child = fork();
    if (child == 0) {
        const bool own = user == "0" ? unshare(CLONE_NEWNS) == 0
                                     : unshare(CLONE_NEWUSER | CLONE_NEWNS) == 0 &&
                                           map("/proc/self/setgroups", "deny") &&
                                           map("/proc/self/uid_map", user + " " + user + " 1") &&
                                           map("/proc/self/gid_map", group + " " + group + " 1");
        const std::string size = "size=" + std::to_string(bytes);
        if (!own || mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            mount("tmpfs", folder.c_str(), "tmpfs", 0, size.c_str()) != 0)
            _exit(kRefused);
        const int result = scene();
        std::fflush(nullptr);
        _exit(result);
    }
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
    if (WEXITSTATUS(status) == kRefused) return std::nullopt;
    return WEXITSTATUS(status);
}

}  // namespace kelmor::test
