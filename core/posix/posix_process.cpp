// SPDX-License-Identifier: GPL-3.0-or-later
// Program start on the POSIX host: an argv array (never a shell), the
// application folder as working directory, a session of its own, no wait.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <unistd.h>

#include <optional>

#include "core/ascii_text.hpp"
#include "core/posix_files/posix_error.hpp"
#include "core/posix/posix_host.hpp"
#include "core/linux_drives/linux_drives.hpp"

extern char** environ;

namespace kelmor::posix {

namespace {

bool endsWithExe(std::string_view path) {
    return path.size() >= 4 && equalIgnoringAsciiCase(path.substr(path.size() - 4), ".exe");
}

// Owns the attributes and file actions of one posix_spawn call.
class SpawnSetup {
public:
    SpawnSetup() {
        posix_spawnattr_init(&attributes_);
        posix_spawn_file_actions_init(&actions_);
    }
    SpawnSetup(const SpawnSetup&) = delete;
    SpawnSetup& operator=(const SpawnSetup&) = delete;
    ~SpawnSetup() {
        posix_spawn_file_actions_destroy(&actions_);
        posix_spawnattr_destroy(&attributes_);
    }
    posix_spawnattr_t* attributes() { return &attributes_; }
    posix_spawn_file_actions_t* actions() { return &actions_; }

private:
    posix_spawnattr_t attributes_;
    posix_spawn_file_actions_t actions_;
};

void check(int result, const std::string& what) {
    if (result != 0) posix_files::throwError(result, what);
}

// How `executable` starts, in its own session and in `folder`.
void prepareSpawn(SpawnSetup& setup, const std::string& executable, const std::string& folder) {
    // The child starts with default signal handling and nothing blocked,
    // whatever this process ignores or blocks.
    sigset_t all;
    sigset_t none;
    sigfillset(&all);
    sigemptyset(&none);
    check(posix_spawnattr_setsigdefault(setup.attributes(), &all), executable);
    check(posix_spawnattr_setsigmask(setup.attributes(), &none), executable);
    check(posix_spawnattr_setflags(setup.attributes(), POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGDEF |
                                                           POSIX_SPAWN_SETSIGMASK),
          executable);

    // Input from nowhere; output and errors shared with this process, or
    // sent nowhere when this process has none.
    check(posix_spawn_file_actions_addopen(setup.actions(), STDIN_FILENO, "/dev/null", O_RDONLY, 0),
          executable);
    for (int fd : {STDOUT_FILENO, STDERR_FILENO}) {
        if (fcntl(fd, F_GETFD) == -1) {
            check(posix_spawn_file_actions_addopen(setup.actions(), fd, "/dev/null", O_WRONLY, 0),
                  executable);
        }
    }
    check(posix_spawn_file_actions_addchdir_np(setup.actions(), folder.c_str()), executable);
}

}  // namespace

void PosixHost::startProgram(const std::string& program,
                             const std::vector<std::string>& arguments) {
    // "name.exe" is the file of that name when there is one, else the
    // program built without the extension.
    std::optional<std::string> executable;
    for (const std::string& candidate :
         {program, endsWithExe(program) ? program.substr(0, program.size() - 4) : std::string()}) {
        if (candidate.empty()) continue;
        const auto host = drives_->hostPath(candidate, linux_drives::PathUse::Existing);
        struct stat status {};
        if (host && stat(host->c_str(), &status) == 0 && !S_ISDIR(status.st_mode)) {
            executable = host;
            break;
        }
    }
    // A failure names the file as this host knows it: the program without
    // ".exe", which is what a Linux folder holds.
    if (!executable)
        posix_files::throwError(
            ENOENT,
            shownPath(endsWithExe(program) ? program.substr(0, program.size() - 4) : program));
    // Checked here as well as by the spawn, which reports a failed exec only
    // where it does not fork.
    if (faccessat(AT_FDCWD, executable->c_str(), X_OK, AT_EACCESS) != 0)
        posix_files::throwErrno(*executable);

    std::vector<char*> argv;
    argv.push_back(executable->data());
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);

    SpawnSetup setup;
    prepareSpawn(setup, *executable, applicationFolderHost_);

    pid_t child = 0;
    check(posix_spawn(&child, executable->c_str(), setup.actions(), setup.attributes(), argv.data(),
                      environ),
          *executable);
}

}  // namespace kelmor::posix
