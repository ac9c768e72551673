// SPDX-License-Identifier: GPL-3.0-or-later
// A Windows program's version resource, read from its bytes without running
// it: what emulatorFromProgramVersion() tells the emulator behind dosbox.exe by.
//
// The program is read a piece at a time, only the pieces on the way: the DOS
// header, the PE headers and section table, the resource directory's tables
// on the path to the version resource (type 16, its first name, its first
// language) and the resource itself. The bytes are untrusted: every offset
// and size is checked against what was read before it is used, the walk
// through the resource tree has its three levels and no more (a table that
// points back at another holds no version), and a version resource larger
// than kLargestVersionResource is refused.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "core/emulator_dialect.hpp"
#include "core/host.hpp"

namespace kelmor {

// Real version resources take a few KiB; a larger one is refused unread.
inline constexpr std::uint32_t kLargestVersionResource = 64 * 1024;

// Up to `count` bytes of the program from `offset` on, fewer where it ends.
// May throw std::system_error.
using ProgramBytes = std::function<std::string(std::uint64_t offset, std::size_t count)>;

// The version resource of the program `read` reads: its fixed file version,
// and "ProductName" and "FileDescription" of the first string table, UTF-8,
// each up to its terminating zero (empty when the table lacks it). Nothing
// when the bytes are no PE program (PE32 or PE32+), hold no version resource,
// or one that is malformed or cut short. A failure of `read` propagates.
std::optional<ProgramVersion> programVersion(const ProgramBytes& read);

// The same for a file of the host, read through Host::readFileBytes; nothing
// also when the file is missing or cannot be read.
std::optional<ProgramVersion> programVersion(Host& host, const std::string& path);

}  // namespace kelmor
