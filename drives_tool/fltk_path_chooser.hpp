// SPDX-License-Identifier: GPL-3.0-or-later
// The drives dialog's file chooser: FLTK's own, the same on every desktop,
// its path box focused at once, so that a typed path and Enter choose. A
// path typed there is taken as typed: an absolute one whatever folder the
// chooser shows, a relative one within that folder.
#pragma once

#include <optional>
#include <string>

namespace kelmor::fltk {

enum class PathKind { Folder, Image, Program };

// Shows the chooser, titled `title`, modal, until the user chooses (the
// path) or cancels (nothing). It opens on the working folder.
std::optional<std::string> choosePath(PathKind kind, const std::string& title);

}  // namespace kelmor::fltk
