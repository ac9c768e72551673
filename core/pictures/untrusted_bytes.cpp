// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/pictures/untrusted_bytes.hpp"

namespace kelmor::pictures {

Image blankImage(std::int64_t width, std::int64_t height, std::string_view format) {
    if (width <= 0 || height <= 0) reject(format, "empty picture");
    if (width > kMaxImagePixels || height > kMaxImagePixels || width * height > kMaxImagePixels)
        reject(format, "picture too large");
    Image image;
    image.width = static_cast<int>(width);
    image.height = static_cast<int>(height);
    image.rgb.resize(static_cast<std::size_t>(width * height) * 3);
    return image;
}

}  // namespace kelmor::pictures
