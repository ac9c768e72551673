// SPDX-License-Identifier: GPL-3.0-or-later
// Paths of the host's own file system: joined, resolved, and the entry of
// a folder that a name stands for without regard to letter case, as a
// Windows program names it.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace kelmor::posix_files {

// A host path and a name joined by one slash.
std::string joinHostPath(std::string_view folder, std::string_view name);

// A host path with its links, "." and ".." resolved; nothing (errno set) when
// it cannot be resolved.
std::optional<std::string> realHostPath(const std::string& path);

// The name of the entry of a host folder that a name stands for: the name
// itself when such an entry exists, else an entry equal to it without
// regard to ASCII case. Nothing, with `error` set, when there is none or
// the folder cannot be read.
std::optional<std::string> matchFolderEntry(const std::string& folder, std::string_view name,
                                            std::error_code& error);

// Of the names in a folder, the one that a name stands for: the name itself,
// else the first in byte order that equals it without regard to ASCII case.
// Nothing when none does.
std::optional<std::size_t> matchingName(const std::vector<std::string>& names,
                                        std::string_view name);

}  // namespace kelmor::posix_files
