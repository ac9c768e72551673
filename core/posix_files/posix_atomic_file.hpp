// SPDX-License-Identifier: GPL-3.0-or-later
// Whole-file operations on host paths. Writes never leave a half-written
// file behind: the new content goes into a temporary file in the same
// folder, which is renamed over the destination once complete and removed
// when anything fails, so the older file stays as it was.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace kelmor::posix_files {

// The whole content of a regular file. Anything else fails at once, without
// waiting: a folder with EISDIR, a FIFO, socket or device with EINVAL, a file
// larger than kLargestWholeFile with EFBIG.
std::string readWholeFile(const std::string& path);

// Up to `count` bytes of a regular file at a host path from `offset` on,
// fewer where it ends. Throws std::system_error naming the path: EISDIR a
// folder, EINVAL no regular file (a FIFO or device is never waited on), or
// errno.
std::string readRegularFileBytes(const std::string& path, std::uint64_t offset, std::size_t count);

// Writes all of data to fd, going on after interruptions; `what` names the
// file in the error.
void writeAll(int fd, std::string_view data, const std::string& what);

// Whether a write is on disk when it returns: the new content before the
// rename, the rename itself after it. Otherwise the kernel writes both when
// it sees fit, and a power cut may cost the write.
enum class Durability { Ordinary, Flushed };

// Replaces a file's content (creating it when absent). A replaced file keeps
// its permission bits; a new one gets 0666 less the umask. When the path is
// a symbolic link, the file it points to is replaced. A file that its user
// could not write in place (read-only) is not replaced: EACCES. Returns the
// path of the file replaced: the link's target, else the path itself; so do
// the two functions below.
std::string writeFileAtomically(const std::string& path, std::string_view content,
                                Durability durability = Durability::Ordinary);

// Copies a regular file over a destination (created when absent); any other
// source fails as readWholeFile() fails, a read-only destination with
// EACCES. A failure to open or read the source is a SourceFailure. The copy
// gets 0666 less the umask, so a file copied from a read-only disc stays
// writable, but never more readable than the source: a private source
// gives a private copy.
std::string copyFileAtomically(const std::string& source, const std::string& destination);

// Replaces a destination as copyFileAtomically() does with what `fill`
// writes to the descriptor it is given; `sourceMode` (of 0777) is the
// source's: the copy's group and others lose what they could not read
// there, and its execute bits are given where the copy is readable. A
// failure in `fill` leaves the destination as it was.
std::string replaceFileWith(const std::string& destination, unsigned sourceMode,
                            const std::function<void(int fd)>& fill);

// Makes files written with Durability::Ordinary, and their names in their
// folders, survive a power cut, as Durability::Flushed would have, but all
// at once: every file's write starts before any is waited for, and their
// fsyncs wait together, so they share the disk's flushes. A file gone since
// is skipped; anything else that cannot be flushed is an error. Nothing but
// these files and folders is waited for.
void flushFiles(const std::vector<std::string>& paths);

// Creates a folder and the missing folders above it with the given mode.
void createFolders(const std::string& path, unsigned mode);

}  // namespace kelmor::posix_files
