// SPDX-License-Identifier: GPL-3.0-or-later
// The bridge's private copies of translated configurations:
// "<folder>/<hash of the configuration file's path>-<process id>.conf", one
// per start, so that two bridges started at the same moment never hand
// their emulators each other's copy; and of the cue sheets it hands the
// emulator in place of an image's own, "...-<process id>.cue". The bridge
// waits for its emulator, so a copy is needed while the bridge's process
// runs; each start removes the copies whose process has ended.
//
// The folder is "kelmor-<uid>" below a base folder: ${XDG_RUNTIME_DIR:-/tmp},
// else "<cache home>/kelmor". A base is used only when no other user can
// rename what lies in it (it belongs to this user or to root, and when
// others may write into it, as into /tmp, its sticky bit is set), and the
// folder only when it is a real folder (not a link) owned by this user; it is
// created with mode 0700 and set to 0700 when it is ours but more open. So
// another user who made /tmp/kelmor-<uid> first, or an XDG_RUNTIME_DIR
// inherited from another user, sends the copy to the cache folder, never
// into theirs. A copy is written under a fresh name with mode 0600 and
// renamed into place: a link planted at its name is replaced, never
// followed, and the emulator never reads a half-written file.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kelmor::bridge {

// The base folders in the order they are tried: $XDG_RUNTIME_DIR when it
// is an absolute path, else /tmp; then "<cache home>/kelmor".
std::vector<std::string> runtimeBases();

// What a copy's name ends in: a configuration's copy, or the cue sheet
// the emulator is handed in place of an image's own.
inline constexpr std::string_view kConfigurationCopy = ".conf";
inline constexpr std::string_view kCueSheetCopy = ".cue";
inline constexpr std::string_view kFolderOfItsOwn = ".d";

// "<16 hex digits>-<process id>.conf": the name of the copy of a
// configuration file's path that the bridge in process `process` writes.
std::string runtimeCopyName(std::string_view configurationFile, long process,
                            std::string_view suffix = kConfigurationCopy);

// Writes this start's copy for a configuration file's (or an image's) path
// into the private folder below the first of `bases` that can hold it (one
// after the first is made when missing), after removing that folder's
// copies of ended processes, and returns its path. Throws
// std::system_error, saying why for each base, when none can.
std::string writeRuntimeCopy(const std::vector<std::string>& bases,
                             std::string_view configurationFile, std::string_view content,
                             std::string_view suffix = kConfigurationCopy);

// Makes this start's empty folder for `purpose` (a word that names it)
// beside its copies, mode 0700, and returns its path. Throws
// std::system_error when none of `bases` can hold it.
std::string makeRuntimeFolder(const std::vector<std::string>& bases, std::string_view purpose);

// Removes such a folder with the files in it.
void removeRuntimeFolder(const std::string& folder);

// Whether `path` names one of the private copies of a bridge of this user
// (by its name and its folder's, also through a link): an emulator handed
// such a file is a bridge that a bridge started.
bool isRuntimeCopy(const std::string& path);

}  // namespace kelmor::bridge
