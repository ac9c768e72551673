// SPDX-License-Identifier: GPL-3.0-or-later
// Compiled-in pictures as FLTK images.
#pragma once

#include <memory>

#include "core/fltk/fltk_launcher_window.hpp"

class Fl_RGB_Image;

namespace kelmor::fltk {

// Decodes an embedded picture; the image owns its pixels.
std::unique_ptr<Fl_RGB_Image> toFltkImage(const EmbeddedPicture& picture);

}  // namespace kelmor::fltk
