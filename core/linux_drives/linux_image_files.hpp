// SPDX-License-Identifier: GPL-3.0-or-later
// The host's files as disc images are read from them: regular files, by
// their host paths, a piece at a time.
#pragma once

#include <cstdint>
#include <string>

#include "core/disc_image.hpp"
#include "core/posix_files/posix_atomic_file.hpp"

namespace kelmor::linux_drives {

class HostImageFiles final : public ImageFiles {
public:
    std::string readBytes(const std::string& path, std::uint64_t offset,
                          std::size_t count) override {
        return posix_files::readRegularFileBytes(path, offset, count);
    }
    std::string matchingFile(const std::string& path) override;
    char separator() const override { return '/'; }
    std::error_code noDisc() const override;
};

}  // namespace kelmor::linux_drives
