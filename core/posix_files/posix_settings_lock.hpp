// SPDX-License-Identifier: GPL-3.0-or-later
// The lock of the kit's configuration folder, the file ".settings.lock"
// there. It is held while a settings file or the drive map is read, changed
// and replaced: two programs writing at once never undo each other's
// writes. One lock for the folder, as writes are few and short.
#pragma once

#include <string>

#include "core/posix_files/posix_file_descriptor.hpp"

namespace kelmor::posix_files {

class SettingsLock {
public:
    // Waits until the lock of `folder` is this process's.
    explicit SettingsLock(const std::string& folder);

private:
    std::string path_;
    FileDescriptor fd_;  // closing it gives the lock up
};

}  // namespace kelmor::posix_files
