// SPDX-License-Identifier: GPL-3.0-or-later
// Running a piece of a test in a child process: as an unprivileged user (so
// permissions hold even when the tests run as root) or with a small file size
// limit (so writes fail as they do on a full disc).
#pragma once

#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
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

}  // namespace kelmor::test
