// SPDX-License-Identifier: GPL-3.0-or-later
// Message boxes on FLTK: modal, one OK button, titled, with or without the
// warning icon.
#pragma once

#include "core/posix/posix_host.hpp"

namespace kelmor::fltk {

void showMessage(const std::string& text, MessageStyle style, const std::string& title);

// Makes the host show its message boxes as FLTK boxes.
void presentMessagesWithFltk(posix::PosixHost& host);

}  // namespace kelmor::fltk
