// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/posix_files/posix_atomic_file.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <exception>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <thread>

#include "core/failure.hpp"
#include "core/host.hpp"
#include "core/posix_files/posix_file_descriptor.hpp"
#include "core/posix_files/posix_error.hpp"
#include "core/posix_files/posix_temporary_files.hpp"
#include "core/posix_files/posix_host_path.hpp"

namespace kelmor::posix_files {

namespace {

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

// Where a replacement goes: the file a symbolic link points to, else the
// path itself (a dangling link is replaced as it is).
std::string replacementTarget(const std::string& path) {
    struct stat status {};
    if (lstat(path.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) return path;
    return realHostPath(path).value_or(path);
}

// Makes a rename in a folder stay.
void flushFolder(const std::string& folder) {
    const FileDescriptor directory(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (directory.get() < 0 || fsync(directory.get()) != 0) throwErrno(folder);
}

// A file is replaced only where its user could write it in place: a
// read-only file stays, as Windows keeps it. A new file needs no check.
std::string replaceableTarget(const std::string& path) {
    std::string target = replacementTarget(path);
    if (faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0 && errno != ENOENT)
        throwErrno(path);
    return target;
}

// The new content of a destination, written beside it under a temporary
// name; renamed over the destination by commit(), removed otherwise, also
// when a signal ends the process meanwhile.
class TemporaryFile {
public:
    explicit TemporaryFile(std::string destination) : destination_(std::move(destination)) {
        const std::string folder = folderOf(destination_);
        removeStaleTemporaryFiles(folder);
        for (int attempt = 0; attempt < 100; ++attempt) {
            path_ = joinHostPath(folder, temporaryFileName());
            removal_.emplace(path_);
            fd_ = open(path_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (fd_ >= 0) return;
            const int error = errno;
            removal_.reset();
            if (error != EEXIST) throwError(error, destination_);
        }
        throwError(EEXIST, destination_);
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    ~TemporaryFile() {
        if (fd_ >= 0) close(fd_);
        if (!committed_) unlink(path_.c_str());
    }

    int fd() const { return fd_; }
    const std::string& destination() const { return destination_; }

    // Gives the file the permission bits of the file it replaces, if any.
    void keepModeOfDestination() {
        struct stat status {};
        if (stat(destination_.c_str(), &status) == 0 && S_ISREG(status.st_mode)) {
            fchmod(fd_, status.st_mode & 07777);
        }
    }

    // A copy is always writable by its owner, also from a read-only disc,
    // and never more readable than its source: group and others get nothing
    // where they could not read the source. It stays a program where the
    // source is one: the source's execute bits are given where the copy is
    // readable.
    void followSourceMode(mode_t source) {
        struct stat to {};
        if (fstat(fd_, &to) != 0) return;
        mode_t mode = to.st_mode & 07777;
        if ((source & 0040) == 0) mode &= ~static_cast<mode_t>(0070);
        if ((source & 0004) == 0) mode &= ~static_cast<mode_t>(0007);
        mode |= source & 0111 & ((mode & 0444) >> 2);
        if (mode != (to.st_mode & 07777)) fchmod(fd_, mode);  // where modes can be set at all
    }

    void commit(Durability durability = Durability::Ordinary) {
        if (durability == Durability::Flushed && fsync(fd_) != 0) throwErrno(destination_);
        const int fd = fd_;
        fd_ = -1;
        if (close(fd) != 0) throwErrno(destination_);
        if (rename(path_.c_str(), destination_.c_str()) != 0) throwErrno(destination_);
        committed_ = true;
        removal_.reset();
        if (durability == Durability::Flushed) flushFolder(folderOf(destination_));
    }

private:
    std::string destination_;
    std::string path_;
    std::optional<RemovedOnSignal> removal_;
    int fd_ = -1;
    bool committed_ = false;
};

// Copies from the current position of `from` to its end; a failure to read
// is the source's (SourceFailure). copy_file_range lets the kernel move the
// data (or share it, on file systems that can); read and write take over
// where it is not offered, and where it fails, as its error does not say
// which of the two files failed: theirs do.
void copyContent(int from, int to, const std::string& source, const std::string& what) {
    std::size_t copied = 0;
    while (true) {
        const ssize_t moved = copy_file_range(from, nullptr, to, nullptr, std::size_t{1} << 30, 0);
        if (moved > 0) {
            copied += static_cast<std::size_t>(moved);
            continue;
        }
        if (moved == 0 && copied > 0) return;
        if (moved < 0 && errno == EINTR) continue;
        break;  // empty, a length the kernel does not know, or a failure: read to be sure
    }

    const std::unique_ptr<char[]> buffer(new char[128 * 1024]);
    while (true) {
        const ssize_t got = read(from, buffer.get(), 128 * 1024);
        if (got == 0) return;
        if (got < 0) {
            if (errno == EINTR) continue;
            throw SourceFailure(std::system_error(errno, std::generic_category(), source));
        }
        writeAll(to, std::string_view(buffer.get(), static_cast<std::size_t>(got)), what);
    }
}

// Opens a regular file for reading. Anything else fails at once: a folder
// with EISDIR, a FIFO, socket or device with EINVAL, so that nobody waits for
// a writer at the other end of a FIFO.
FileDescriptor openRegularFile(const std::string& path) {
    FileDescriptor file(open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (file.get() < 0) throwErrno(path);
    struct stat status {};
    if (fstat(file.get(), &status) != 0) throwErrno(path);
    if (S_ISDIR(status.st_mode)) throwError(EISDIR, path);
    if (!S_ISREG(status.st_mode)) throwError(EINVAL, path + " is not a regular file");
    const int flags = fcntl(file.get(), F_GETFL);
    if (flags < 0 || fcntl(file.get(), F_SETFL, flags & ~O_NONBLOCK) != 0) throwErrno(path);
    return file;
}

}  // namespace

void writeAll(int fd, std::string_view data, const std::string& what) {
    while (!data.empty()) {
        const ssize_t written = write(fd, data.data(), data.size());
        if (written < 0) {
            if (errno == EINTR) continue;
            throwErrno(what);
        }
        data.remove_prefix(static_cast<std::size_t>(written));
    }
}

std::string readWholeFile(const std::string& path) {
    const FileDescriptor file = openRegularFile(path);
    struct stat status {};
    if (fstat(file.get(), &status) != 0) throwErrno(path);
    if (static_cast<std::uint64_t>(status.st_size) > kLargestWholeFile) throwError(EFBIG, path);
    std::string content;
    content.reserve(static_cast<std::size_t>(status.st_size));
    char buffer[64 * 1024];
    while (true) {
        const ssize_t got = read(file.get(), buffer, sizeof buffer);
        if (got == 0) return content;
        if (got < 0) {
            if (errno == EINTR) continue;
            throwErrno(path);
        }
        // A file that grows while it is read is held to the same limit.
        if (content.size() + static_cast<std::size_t>(got) > kLargestWholeFile)
            throwError(EFBIG, path);
        content.append(buffer, static_cast<std::size_t>(got));
    }
}

std::string readRegularFileBytes(const std::string& path, std::uint64_t offset, std::size_t count) {
    const FileDescriptor file(open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    struct stat status {};
    if (file.get() < 0 || fstat(file.get(), &status) != 0) throwErrno(path);
    if (S_ISDIR(status.st_mode)) throwError(EISDIR, path);
    if (!S_ISREG(status.st_mode)) throwError(EINVAL, path + " is not a regular file");
    const auto size = static_cast<std::uint64_t>(status.st_size);
    std::string bytes(
        offset < size ? static_cast<std::size_t>(std::min<std::uint64_t>(count, size - offset)) : 0,
        '\0');
    std::size_t got = 0;
    while (got < bytes.size()) {
        const ssize_t read = pread(file.get(), bytes.data() + got, bytes.size() - got,
                                   static_cast<off_t>(offset + got));
        if (read < 0 && errno == EINTR) continue;
        if (read < 0) throwErrno(path);
        if (read == 0) break;
        got += static_cast<std::size_t>(read);
    }
    bytes.resize(got);
    return bytes;
}

std::string writeFileAtomically(const std::string& path, std::string_view content,
                                Durability durability) {
    TemporaryFile file(replaceableTarget(path));
    file.keepModeOfDestination();
    writeAll(file.fd(), content, path);
    file.commit(durability);
    return file.destination();
}

std::string replaceFileWith(const std::string& destination, unsigned sourceMode,
                            const std::function<void(int fd)>& fill) {
    TemporaryFile file(replaceableTarget(destination));
    file.followSourceMode(static_cast<mode_t>(sourceMode));
    fill(file.fd());
    file.commit();
    return file.destination();
}

std::string copyFileAtomically(const std::string& source, const std::string& destination) {
    struct stat status {};
    const FileDescriptor from = readingSource([&] {
        FileDescriptor file = openRegularFile(source);
        if (fstat(file.get(), &status) != 0) throwErrno(source);
        return file;
    });
    return replaceFileWith(destination, status.st_mode & 0777, [&](int to) {
        copyContent(from.get(), to, source, source + " -> " + destination);
    });
}

namespace {

// Opens a written file or its folder to flush it, or nothing when it is gone
// since. It is never waited on: a FIFO put in its place meanwhile opens at
// once and then fails to flush.
std::optional<FileDescriptor> openWritten(const std::string& path) {
    FileDescriptor file(open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (file.get() >= 0) return file;
    if (errno == ENOENT) return std::nullopt;
    throwErrno(path);
}

// Only starts the writes: where it fails, the fsync does the work.
void startWriting(const std::string& path) {
    if (const auto file = openWritten(path))
        sync_file_range(file->get(), 0, 0, SYNC_FILE_RANGE_WRITE);
}

void flushWritten(const std::string& path) {
    if (const auto file = openWritten(path); file && fsync(file->get()) != 0) throwErrno(path);
}

// Each fsync asks the disk to empty its cache; the fsyncs that wait together
// share one such flush, where one after the other each waits for its own.
constexpr std::size_t kFlushingThreads = 16;

// flushWritten() on each path from a few threads at once; the first failure
// is thrown once all are done.
void flushTogether(const std::vector<std::string>& paths) {
    std::atomic<std::size_t> next{0};
    std::mutex lock;
    std::exception_ptr failure;
    const auto work = [&] {
        for (std::size_t i; (i = next++) < paths.size();) {
            try {
                flushWritten(paths[i]);
            } catch (...) {
                const std::lock_guard hold(lock);
                if (!failure) failure = std::current_exception();
            }
        }
    };
    std::vector<std::thread> helpers;
    try {
        while (helpers.size() + 1 < std::min(kFlushingThreads, paths.size()))
            helpers.emplace_back(work);
    } catch (const std::system_error&) {
        // no more threads to be had: those there are share the work
    }
    work();
    for (std::thread& helper : helpers) helper.join();
    if (failure) std::rethrow_exception(failure);
}

}  // namespace

void flushFiles(const std::vector<std::string>& paths) {
    const std::set<std::string> files(paths.begin(), paths.end());
    std::set<std::string> folders;
    for (const std::string& file : files) {
        startWriting(file);
        folders.insert(folderOf(file));
    }
    std::vector<std::string> flushed(files.begin(), files.end());
    flushed.insert(flushed.end(), folders.begin(), folders.end());
    flushTogether(flushed);
}

void createFolders(const std::string& path, unsigned mode) {
    std::size_t at = 0;
    while (at != std::string::npos) {
        at = path.find('/', at + 1);
        const std::string folder = path.substr(0, at);
        if (folder.empty() || folder.back() == '/') continue;
        if (mkdir(folder.c_str(), static_cast<mode_t>(mode)) != 0 && errno != EEXIST) {
            throwErrno(folder);
        }
    }
    struct stat status {};
    if (stat(path.c_str(), &status) != 0) throwErrno(path);
    if (!S_ISDIR(status.st_mode)) throwError(ENOTDIR, path);
}

}  // namespace kelmor::posix_files
