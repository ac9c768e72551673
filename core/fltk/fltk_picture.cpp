// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/fltk/fltk_picture.hpp"

#include <FL/Fl_RGB_Image.H>

#include <cstring>
#include <span>

#include "core/pictures/image.hpp"

namespace kelmor::fltk {

namespace {

// The decoder of each EmbeddedPicture::Format, in its order.
constexpr pictures::Image (*kDecoders[])(std::span<const std::uint8_t>) = {pictures::decodeBmp,
                                                                           pictures::decodePng};

}  // namespace

std::unique_ptr<Fl_RGB_Image> toFltkImage(const EmbeddedPicture& picture) {
    const std::span<const std::uint8_t> bytes(picture.bytes, picture.size);
    const pictures::Image image = kDecoders[static_cast<int>(picture.format)](bytes);
    auto* pixels = new uchar[image.rgb.size()];
    std::memcpy(pixels, image.rgb.data(), image.rgb.size());
    auto result = std::make_unique<Fl_RGB_Image>(pixels, image.width, image.height, 3);
    result->alloc_array = 1;  // the image frees its pixels
    return result;
}

}  // namespace kelmor::fltk
