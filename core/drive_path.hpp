// SPDX-License-Identifier: GPL-3.0-or-later
// Drive-letter paths, as the programs write them: a drive letter, a colon
// and components separated by backslashes (or slashes),
// "E:\KELMOR\VIGNET.DAT". Read as Windows reads them: empty components and
// "." are skipped, ".." goes up one component lexically and never above the
// drive's root. The one reader of such paths: where a drive leads is the
// host's business (core/linux_drives/linux_windows_path.hpp on POSIX).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kelmor {

struct WindowsPath {
    char drive = 'C';                     // upper case
    std::vector<std::string> components;  // none empty, "." or ".."
};

// The drive and components of a Windows path; nothing without a drive letter
// (or with a NUL character, which no name holds).
std::optional<WindowsPath> splitWindowsPath(std::string_view text);

}  // namespace kelmor
