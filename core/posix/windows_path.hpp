// SPDX-License-Identifier: GPL-3.0-or-later
// Windows paths on a POSIX file system.
//
// A Windows path is a drive letter, a colon and components separated by
// backslashes (or slashes): "E:\KELMOR\VIGNET.DAT". The drive map gives the
// host folder of the drive. Empty components and "." are skipped, ".." goes
// up one component lexically and never above the drive's root. Each
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

namespace kelmor::posix {

class DriveMap;
class FolderListings;

struct WindowsPath {
    char drive = 'C';                     // upper case
    std::vector<std::string> components;  // none empty, "." or ".."
};

// The drive and components of a Windows path; nothing without a drive letter
// (or with a NUL character, which no name holds).
std::optional<WindowsPath> splitWindowsPath(std::string_view text);

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

// The Windows path of a host path on drive C: ("/home/ann" -> "C:\home\ann",
// "/" -> "C:"), never with a trailing backslash.
std::string windowsPathOfHostPath(std::string_view hostPath);

// Why a host path cannot stand for itself as a Windows path: a backslash
// (a separator there, so the path would name another file), a line end or a
// double quote (which end a line or a quoted path in dosbox.conf). Nothing
// when it can.
std::optional<std::string> windowsPathProblem(std::string_view hostPath);

// A host path and a name joined by one slash.
std::string joinHostPath(std::string_view folder, std::string_view name);

// A host path with its links, "." and ".." resolved; nothing (errno set) when
// it cannot be resolved.
std::optional<std::string> realHostPath(const std::string& path);

}  // namespace kelmor::posix
