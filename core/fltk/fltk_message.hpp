// SPDX-License-Identifier: GPL-3.0-or-later
// Message boxes on FLTK: modal, one OK button, titled, with or without the
// warning icon.
#pragma once

#include <string>

#include "core/host.hpp"

namespace kelmor::fltk {

void showMessage(const std::string& text, MessageStyle style, const std::string& title);

}  // namespace kelmor::fltk
