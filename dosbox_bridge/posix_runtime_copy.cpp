#include "dosbox_bridge/posix_runtime_copy.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>

#include "core/posix/atomic_file.hpp"
#include "core/posix/file_descriptor.hpp"
#include "core/posix/posix_error.hpp"
#include "core/posix/temporary_files.hpp"
#include "core/posix/windows_path.hpp"

namespace kelmor::bridge {

namespace {

using posix::throwErrno;
using posix::throwError;
using Descriptor = posix::FileDescriptor;
using posix::writeAll;

// 64-bit FNV-1a: short, stable names; the folders are few.
std::uint64_t hashOf(std::string_view text) {
    std::uint64_t hash = 14695981039346656037ull;
    for (unsigned char c : text) {
        hash ^= c;
        hash *= 1099511628211ull;
    }
    return hash;
}


// The user's own folder below the base, opened; created when absent.
int openPrivateFolder(const std::string& base, const std::string& name) {
    const std::string path = posix::joinHostPath(base, name);
    const Descriptor baseFolder(open(base.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (baseFolder.get() < 0) throwErrno(base);
    if (mkdirat(baseFolder.get(), name.c_str(), 0700) != 0 && errno != EEXIST) throwErrno(path);

    Descriptor folder(
        openat(baseFolder.get(), name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (folder.get() < 0) {
        if (errno == ELOOP || errno == ENOTDIR)
            throwError(errno, path + " is not a folder of its own (a link or a file stands there)");
        throwErrno(path);
    }
    struct stat status {};
    if (fstat(folder.get(), &status) != 0) throwErrno(path);
    if (status.st_uid != geteuid())
        throwError(EPERM, path + " belongs to user " + std::to_string(status.st_uid) +
                              ", not to this user");
    if ((status.st_mode & 077) != 0 && fchmod(folder.get(), 0700) != 0) throwErrno(path);
    return folder.release();
}

}  // namespace

std::string runtimeBase() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    struct stat status {};
    if (runtime != nullptr && runtime[0] == '/' && stat(runtime, &status) == 0 &&
        S_ISDIR(status.st_mode)) {
        return runtime;
    }
    return "/tmp";
}

std::string runtimeCopyName(std::string_view configurationFile) {
    char name[32];
    std::snprintf(name, sizeof name, "%016llx.conf",
                  static_cast<unsigned long long>(hashOf(configurationFile)));
    return name;
}

std::string writeRuntimeCopy(const std::string& base, std::string_view configurationFile,
                             std::string_view content) {
    const std::string folderName = "kelmor-" + std::to_string(geteuid());
    const std::string folderPath = posix::joinHostPath(base, folderName);
    const Descriptor folder(openPrivateFolder(base, folderName));
    const std::string name = runtimeCopyName(configurationFile);
    const std::string path = posix::joinHostPath(folderPath, name);

    posix::removeStaleTemporaryFiles(folderPath);
    std::string temporary;
    std::optional<posix::RemovedOnSignal> removal;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temporary = posix::temporaryFileName();
        removal.emplace(posix::joinHostPath(folderPath, temporary));
        fd = openat(folder.get(), temporary.c_str(),
                    O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd >= 0) break;
        const int error = errno;
        removal.reset();
        if (error != EEXIST) throwError(error, path);
    }
    if (fd < 0) throwError(EEXIST, path);

    Descriptor file(fd);
    try {
        if (fchmod(file.get(), 0600) != 0) throwErrno(path);
        writeAll(file.get(), content, path);
        if (close(file.release()) != 0) throwErrno(path);
        if (renameat(folder.get(), temporary.c_str(), folder.get(), name.c_str()) != 0)
            throwErrno(path);
    } catch (...) {
        unlinkat(folder.get(), temporary.c_str(), 0);
        throw;
    }
    return path;
}

}  // namespace kelmor::bridge
