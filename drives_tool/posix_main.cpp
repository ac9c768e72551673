// SPDX-License-Identifier: GPL-3.0-or-later
// kelmor-drives: the drives dialog on FLTK, for the drive map that the
// launchers in this folder read.
#include <cstddef>

#include "drives_tool/drive_letters.hpp"
#include "drives_tool/fltk_drives_window.hpp"

extern const unsigned char drives_icon_bmp[];
extern const std::size_t drives_icon_bmp_size;

int main() {
    kelmor::drives::DriveLetters letters;
    return kelmor::fltk::runDrivesWindow(letters, {drives_icon_bmp, drives_icon_bmp_size,
                                                   kelmor::fltk::EmbeddedPicture::Format::Bmp});
}
