// SPDX-License-Identifier: GPL-3.0-or-later
// Host failures as std::system_error carrying the Windows error number, whose
// description is the system's own text (FormatMessageW) in the user's language.
#pragma once

#include <string>
#include <system_error>

namespace kelmor::win32 {

// Windows error numbers (GetLastError, registry results). Conditions are the
// standard library's: ERROR_FILE_NOT_FOUND compares equal to
// std::errc::no_such_file_or_directory, so does ERROR_PATH_NOT_FOUND, and
// ERROR_DISK_FULL and ERROR_HANDLE_DISK_FULL std::errc::no_space_on_device
// (the conditions the kit's installation decides by).
const std::error_category& windowsCategory();

[[noreturn]] void throwWindowsError(unsigned long number, const std::string& what);

// Throws GetLastError().
[[noreturn]] void throwLastError(const std::string& what);

}  // namespace kelmor::win32
