// SPDX-License-Identifier: GPL-3.0-or-later
// Whole-file operations on the host's own files, their bytes as they are.
// Writes never leave a half-written file behind: the new content goes to a
// temporary file beside the destination (win32_temporary_files.hpp), which
// then takes its place in one rename; a failure leaves the older file as it
// was. Errors name the file as the kit gave it (`path`, `what`).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/win32/win32_handle.hpp"

namespace kelmor::win32 {

// The whole content of a file; ERROR_FILE_TOO_LARGE past kLargestWholeFile.
std::string readWholeFile(const std::string& path);

// Up to `count` bytes of a file from `offset` on, fewer where it ends.
std::string readFileBytesAt(const std::string& path, std::uint64_t offset, std::size_t count);

void writeAll(const Handle& file, std::string_view bytes, const std::string& what);

// Replaces the file at `target` with what `fill` writes to the handle it
// is given.
void replaceFileWith(const std::wstring& target, const std::string& what,
                     const std::function<void(const Handle&)>& fill);

// Replaces the file at `target` with `bytes`, flushed before the rename.
void writeFileAtomically(const std::wstring& target, std::string_view bytes,
                         const std::string& what);

// Copies a file over `target`, which `destination` names. What keeps the
// source from being read is a SourceFailure, a folder in the file's place
// too (EISDIR, as on a disc image; Windows itself only denies it).
void copyFileAtomically(const std::string& source, const std::wstring& target,
                        const std::string& destination);

// Flushes files written without a flush; one gone since is skipped, any
// other failure is an error about `what`.
void flushFiles(const std::vector<std::wstring>& paths, const std::string& what);

}  // namespace kelmor::win32
