// SPDX-License-Identifier: GPL-3.0-or-later
// The disc images beside the programs as drives of their own: each ".iso" or
// ".cue" (either case) in the application folder takes, in name order, the
// lowest letter from D: that no drive of the system holds. The launchers read
// such a drive through the kit's disc image reader, and dosbox.conf has the
// emulator mount the image itself (IMGMOUNT), which also plays a cue sheet's
// audio tracks: no virtual drive program is needed.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "core/disc_image.hpp"
#include "core/win32/win32_atomic_file.hpp"

namespace kelmor::win32 {

// The letters the images take: `images` in name order, each the lowest free
// letter from D to Z that `systemDrives` (GetLogicalDrives()' bits, A: the
// lowest) does not hold; images past Z: get none.
std::map<char, std::string> imageLetters(const std::vector<std::string>& images,
                                         DWORD systemDrives);

// The full paths of the disc images in a folder, in name order; not the
// sheets the launchers write there for the emulator (image_mount.hpp).
std::vector<std::string> discImagesIn(const std::string& folder);

// The host's files, as disc images are read from them.
class Win32ImageFiles final : public ImageFiles {
public:
    std::string readBytes(const std::string& path, std::uint64_t offset,
                          std::size_t count) override {
        return readFileBytesAt(path, offset, count);
    }
    // UTF-8 of the ANSI code page's text, as the emulator reads it; a sheet
    // that begins with UTF-8's byte-order mark is UTF-8 already.
    std::string sheetText(std::string bytes) override;
    char separator() const override { return '\\'; }
    // As Windows says of a drive without a disc.
    std::error_code noDisc() const override;
};

}  // namespace kelmor::win32
