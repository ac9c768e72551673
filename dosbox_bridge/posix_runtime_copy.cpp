// SPDX-License-Identifier: GPL-3.0-or-later
#include "dosbox_bridge/posix_runtime_copy.hpp"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <system_error>

#include "core/posix_files/posix_atomic_file.hpp"
#include "core/posix_files/posix_config_folder.hpp"
#include "core/posix_files/posix_file_descriptor.hpp"
#include "core/posix_files/posix_error.hpp"
#include "core/posix_files/posix_temporary_files.hpp"
#include "core/posix_files/posix_host_path.hpp"

namespace kelmor::bridge {

namespace {

using posix_files::throwErrno;
using posix_files::throwError;
using Descriptor = posix_files::FileDescriptor;
using posix_files::writeAll;

// 64-bit FNV-1a: short, stable names; the folders are few.
std::uint64_t hashOf(std::string_view text) {
    std::uint64_t hash = 14695981039346656037ull;
    for (unsigned char c : text) {
        hash ^= c;
        hash *= 1099511628211ull;
    }
    return hash;
}

// A copy of a configuration, and of a cue sheet that the emulator is handed
// in place of the image's own.
constexpr std::string_view kCopySuffixes[] = {kConfigurationCopy, kCueSheetCopy, kFolderOfItsOwn};
constexpr std::size_t kHashDigits = 16;

std::string privateFolderName() { return "kelmor-" + std::to_string(geteuid()); }

bool allOf(std::string_view text, bool (*accepted)(char)) {
    if (text.empty()) return false;
    for (char c : text)
        if (!accepted(c)) return false;
    return true;
}

bool isDecimal(char c) { return c >= '0' && c <= '9'; }

bool isHex(char c) { return isDecimal(c) || (c >= 'a' && c <= 'f'); }

// The process id in a copy's name; 0 for the name of a copy that an earlier
// bridge shared among its starts ("<hash>.conf"), nothing for another name.
std::optional<long> processOfCopy(std::string_view name) {
    const auto suffix =
        std::find_if(std::begin(kCopySuffixes), std::end(kCopySuffixes), [&](std::string_view s) {
            return name.size() >= kHashDigits + s.size() &&
                   name.substr(name.size() - s.size()) == s;
        });
    if (suffix == std::end(kCopySuffixes)) return std::nullopt;
    name.remove_suffix(suffix->size());
    if (!allOf(name.substr(0, kHashDigits), isHex)) return std::nullopt;
    if (name.size() == kHashDigits) return 0;
    const std::string_view process = name.substr(kHashDigits + 1);
    if (name[kHashDigits] != '-' || process.size() > 9 || !allOf(process, isDecimal))
        return std::nullopt;
    return std::stol(std::string(process));
}

// Removes the regular files in a folder of a start's own, then the folder.
void removeFolderOfItsOwn(int parent, const char* name) {
    const int inner = openat(parent, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (inner < 0) return;
    DIR* const directory = fdopendir(inner);
    if (!directory) {
        close(inner);
        return;
    }
    while (const dirent* entry = readdir(directory)) {
        struct stat status {};
        if (fstatat(inner, entry->d_name, &status, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISREG(status.st_mode))
            unlinkat(inner, entry->d_name, 0);
    }
    closedir(directory);
    unlinkat(parent, name, AT_REMOVEDIR);
}

// Removes the copies and folders in the folder whose process no longer
// runs, and those of earlier bridges.
void removeEndedCopies(int folder) {
    const int listing = dup(folder);
    if (listing < 0) return;
    DIR* const directory = fdopendir(listing);
    if (!directory) {
        close(listing);
        return;
    }
    while (const dirent* entry = readdir(directory)) {
        const auto process = processOfCopy(entry->d_name);
        if (!process || *process == getpid() ||
            (*process != 0 && !posix_files::processIsGone(*process)))
            continue;
        struct stat status {};
        if (fstatat(folder, entry->d_name, &status, AT_SYMLINK_NOFOLLOW) != 0 ||
            status.st_uid != geteuid())
            continue;
        if (S_ISREG(status.st_mode)) unlinkat(folder, entry->d_name, 0);
        if (S_ISDIR(status.st_mode)) removeFolderOfItsOwn(folder, entry->d_name);
    }
    closedir(directory);
}

// The base folder, opened, when no other user can rename what lies in it.
int openBaseFolder(const std::string& base) {
    Descriptor folder(open(base.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.get() < 0) throwErrno(base);
    struct stat status {};
    if (fstat(folder.get(), &status) != 0) throwErrno(base);
    if (status.st_uid != geteuid() && status.st_uid != 0)
        throwError(EPERM, base + " belongs to user " + std::to_string(status.st_uid) +
                              ", not to this user");
    if ((status.st_mode & 022) != 0 && (status.st_mode & S_ISVTX) == 0)
        throwError(EPERM, base + " may be changed by other users");
    return folder.release();
}

// The user's own folder below the base, opened; created when absent.
int openPrivateFolder(const std::string& base, const std::string& name) {
    const std::string path = posix_files::joinHostPath(base, name);
    const Descriptor baseFolder(openBaseFolder(base));
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

// Writes the copy into the private folder below one base.
std::string writeCopyBelow(const std::string& base, const std::string& name,
                           std::string_view content) {
    const std::string folderPath = posix_files::joinHostPath(base, privateFolderName());
    const Descriptor folder(openPrivateFolder(base, privateFolderName()));
    const std::string path = posix_files::joinHostPath(folderPath, name);

    posix_files::removeStaleTemporaryFiles(folderPath);
    removeEndedCopies(folder.get());
    std::string temporary;
    std::optional<posix_files::RemovedOnSignal> removal;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temporary = posix_files::temporaryFileName();
        removal.emplace(posix_files::joinHostPath(folderPath, temporary));
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

// Makes the folder of this start's own below one base.
std::string makeFolderBelow(const std::string& base, const std::string& name) {
    const std::string folderPath = posix_files::joinHostPath(base, privateFolderName());
    const Descriptor folder(openPrivateFolder(base, privateFolderName()));
    removeEndedCopies(folder.get());
    // One that an earlier process of this id left goes first.
    removeFolderOfItsOwn(folder.get(), name.c_str());
    if (mkdirat(folder.get(), name.c_str(), 0700) != 0)
        throwErrno(posix_files::joinHostPath(folderPath, name));
    return posix_files::joinHostPath(folderPath, name);
}

// Runs `attempt` on each base in turn until one succeeds; throws saying why
// for each when none does.
template <typename Attempt>
std::string firstBaseThat(const std::vector<std::string>& bases, const std::string& what,
                          const Attempt& attempt) {
    std::string why;
    int error = ENOENT;
    for (const std::string& base : bases) {
        try {
            if (&base != &bases.front()) posix_files::createFolders(base, 0700);
            return attempt(base);
        } catch (const std::system_error& failure) {
            why += why.empty() ? "" : "; ";
            why += failure.what();
            error = failure.code().value();
        }
    }
    throwError(error, "no folder of this user's own for " + what + ": " + why);
}

bool namesRuntimeCopy(const std::string& path) {
    const std::filesystem::path file(path);
    return processOfCopy(file.filename().string()).value_or(0) > 0 &&
           file.parent_path().filename() == privateFolderName();
}

}  // namespace

std::vector<std::string> runtimeBases() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    return {runtime != nullptr && runtime[0] == '/' ? runtime : "/tmp",
            posix_files::joinHostPath(posix_files::userCacheHome(), "kelmor")};
}

std::string runtimeCopyName(std::string_view configurationFile, long process,
                            std::string_view suffix) {
    char name[48];
    std::snprintf(name, sizeof name, "%016llx-%ld",
                  static_cast<unsigned long long>(hashOf(configurationFile)), process);
    return name + std::string(suffix);
}

std::string writeRuntimeCopy(const std::vector<std::string>& bases,
                             std::string_view configurationFile, std::string_view content,
                             std::string_view suffix) {
    const std::string name = runtimeCopyName(configurationFile, getpid(), suffix);
    return firstBaseThat(
        bases, "the emulator's copy of " + std::string(configurationFile),
        [&](const std::string& base) { return writeCopyBelow(base, name, content); });
}

std::string makeRuntimeFolder(const std::vector<std::string>& bases, std::string_view purpose) {
    const std::string name = runtimeCopyName(purpose, getpid(), kFolderOfItsOwn);
    return firstBaseThat(bases, "the emulator's " + std::string(purpose),
                         [&](const std::string& base) { return makeFolderBelow(base, name); });
}

void removeRuntimeFolder(const std::string& folder) {
    const std::filesystem::path path(folder);
    const Descriptor parent(open(path.parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (parent.get() >= 0) removeFolderOfItsOwn(parent.get(), path.filename().c_str());
}

bool isRuntimeCopy(const std::string& path) {
    if (namesRuntimeCopy(path)) return true;
    const auto real = posix_files::realHostPath(path);
    return real && namesRuntimeCopy(*real);
}

}  // namespace kelmor::bridge
