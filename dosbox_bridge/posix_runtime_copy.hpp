// The bridge's private copy of a translated configuration: one file per
// configuration file, "<base>/kelmor-<uid>/<hash of its path>.conf",
// replaced at every start.
//
// The base is usually /tmp, where anybody may create names. So the folder
// "kelmor-<uid>" is used only when it is a real folder (not a link) owned by
// this user; it is created with mode 0700 and set to 0700 when it is ours but
// more open. The copy is written under a fresh name with mode 0600 and
// renamed over the old one: a link planted in its place is replaced, never
// followed, and the emulator never reads a half-written file.
#pragma once

#include <string>
#include <string_view>

namespace kelmor::bridge {

// $XDG_RUNTIME_DIR when it is an absolute path to a folder, else "/tmp".
std::string runtimeBase();

// "<16 hex digits>.conf": the copy's name for a configuration file's path.
std::string runtimeCopyName(std::string_view configurationFile);

// Writes the copy for a configuration file's path below `base` and returns
// its path. Throws std::system_error when the folder is not this user's own
// or the file cannot be written.
std::string writeRuntimeCopy(const std::string& base, std::string_view configurationFile,
                             std::string_view content);

}  // namespace kelmor::bridge
