// SPDX-License-Identifier: GPL-3.0-or-later
// The zlib stream (RFC 1950) of deflate blocks (RFC 1951) that a PNG
// picture's rows are compressed in.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/pictures/untrusted_bytes.hpp"

namespace kelmor::pictures {

// The bytes a zlib stream decompresses to, which must be exactly `size`:
// stored, fixed and dynamic blocks, the Adler-32 check sum checked. Never
// decompresses beyond `size`. Throws std::invalid_argument ("PNG: ...")
// on anything malformed or truncated.
std::vector<std::uint8_t> inflateZlib(Bytes stream, std::size_t size);

}  // namespace kelmor::pictures
