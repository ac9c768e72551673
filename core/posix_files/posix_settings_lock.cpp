// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/posix_files/posix_settings_lock.hpp"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>

#include <string_view>

#include "core/posix_files/posix_error.hpp"
#include "core/posix_files/posix_host_path.hpp"

namespace kelmor::posix_files {

namespace {

constexpr std::string_view kLockFileName = ".settings.lock";

}  // namespace

SettingsLock::SettingsLock(const std::string& folder)
    : path_(joinHostPath(folder, kLockFileName)),
      fd_(open(path_.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600)) {
    if (fd_.get() < 0) throwErrno(path_);
    struct stat status {};
    if (fstat(fd_.get(), &status) != 0) throwErrno(path_);
    if (!S_ISREG(status.st_mode)) throwError(EINVAL, path_ + " is not a regular file");
    while (flock(fd_.get(), LOCK_EX) != 0)
        if (errno != EINTR) throwErrno(path_);
}

}  // namespace kelmor::posix_files
