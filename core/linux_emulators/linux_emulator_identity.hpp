// SPDX-License-Identifier: GPL-3.0-or-later
// What each emulator file is, told once: the answer of its probe is kept
// in the user's cache, ${XDG_CACHE_HOME:-~/.cache}/kelmor/emulators, for
// that file as long as its path, size, modification time (to the
// nanosecond) and inode stay, so that starting it again costs a stat and
// one small file read. A cache that cannot be read or written costs a
// probe, nothing more.
#pragma once

#include <chrono>
#include <string>

#include "core/emulator_dialect.hpp"
#include "core/linux_emulators/linux_emulator_probe.hpp"
#include "core/linux_emulators/linux_emulator_search.hpp"

namespace kelmor::linux_emulators {

// The cache file in the user's cache folder.
std::string emulatorCacheFile();

// What `file` is: the cache's answer while the file is unchanged, else its
// probe's, which the cache then keeps (replaced atomically). A program that
// could not be started is Unknown and not kept; nor is a file whose real
// path holds a line end.
EmulatorIdentity identifyEmulator(const EmulatorFile& file, const std::string& cacheFile,
                                  std::chrono::milliseconds probeLimit = kProbeTimeLimit);

}  // namespace kelmor::linux_emulators
