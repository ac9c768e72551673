// SPDX-License-Identifier: GPL-3.0-or-later
// Windows paths on a POSIX file system.
//
// A Windows path is read as core/drive_path.hpp reads it: a drive letter,
// a colon and components ("E:\KELMOR\VIGNET.DAT"), empty ones, "." and ".."
// settled lexically. The drive map gives the host folder of the drive. Each
// component is then looked up in its host folder: the entry spelled exactly
// so wins, else the entry equal to it without regard to ASCII letter case
// (the first in byte order when several are). On drives D: to Z: a path
// whose links lead out of the drive's folder is not found.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "core/drive_path.hpp"
#include "core/posix_files/posix_host_path.hpp"

namespace kelmor::linux_drives {

class DriveMap;
class FolderListings;

// How much of a path must exist on the host.
enum class PathUse {
    Existing,     // every component: a file or folder to read
    Destination,  // every folder; the last name may be new (a file to write)
    Lenient,      // nothing: components not found are taken as given
};

// The host path of a Windows path. On failure nothing, with `error` set:
// no such file or directory for a path without a drive, a missing drive or
// a missing component; not a directory for a drive that holds a disc image,
// which has no host folder; the host's own error where a folder cannot be
// searched or read. With `listings`, a folder is read there at most once.
std::optional<std::string> resolveWindowsPath(const DriveMap& drives, std::string_view windowsPath,
                                              PathUse use, std::error_code& error,
                                              FolderListings* listings = nullptr);

// As above; a failure throws std::system_error naming the Windows path.
std::string resolveWindowsPath(const DriveMap& drives, std::string_view windowsPath, PathUse use,
                               FolderListings* listings = nullptr);

// The Windows path of a host path on drive C: ("/home/ann" -> "C:\home\ann",
// "/" -> "C:"), never with a trailing backslash.
std::string windowsPathOfHostPath(std::string_view hostPath);

// Why a host path cannot stand for itself as a Windows path: a backslash
// (a separator there, so the path would name another file), a line end or a
// double quote (which end a line or a quoted path in dosbox.conf). Nothing
// when it can.
std::optional<std::string> windowsPathProblem(std::string_view hostPath);

}  // namespace kelmor::linux_drives
