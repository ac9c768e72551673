// SPDX-License-Identifier: GPL-3.0-or-later
// Temporary files of this process, named "kel<process id>-<n>.tmp" beside
// the file they are to become. A process ended while it writes (from the
// Task Manager, at a shutdown) leaves its own behind; a later process
// removes those whose process no longer runs.
#pragma once

#include <string>

namespace kelmor::win32 {

// A new, empty file beside a destination, removed again unless it took the
// destination's place. `what` names the destination in errors. Making one
// first removes the stale temporary files of its folder.
class TemporaryFile {
public:
    TemporaryFile(const std::wstring& destination, const std::string& what);
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    ~TemporaryFile();

    const std::wstring& path() const { return path_; }

    // The temporary file becomes the destination, in one rename.
    void replaceDestination();

private:
    std::wstring destination_;
    std::string what_;
    std::wstring path_;
};

}  // namespace kelmor::win32
