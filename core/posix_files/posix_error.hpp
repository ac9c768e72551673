// SPDX-License-Identifier: GPL-3.0-or-later
// Host failures as std::system_error carrying errno.
#pragma once

#include <cerrno>
#include <string>
#include <system_error>

namespace kelmor::posix_files {

[[noreturn]] inline void throwError(int number, const std::string& what) {
    throw std::system_error(number, std::generic_category(), what);
}

// Throws the current errno.
[[noreturn]] inline void throwErrno(const std::string& what) { throwError(errno, what); }

}  // namespace kelmor::posix_files
