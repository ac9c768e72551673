// SPDX-License-Identifier: GPL-3.0-or-later
// The kit's install manifest: which files go from the kit CD into the
// application folder, and in which order.
#pragma once

#include <string>
#include <vector>

namespace kelmor {

// One copy, both paths relative: the source below the kit's folder on the CD,
// the destination below the application folder. Neither begins with "\".
struct KitCopy {
    std::string source;
    std::string destination;
};

// The 218 copies in the order they are made: the kit folder's own files, the
// map editor from each language folder, each world with its maps, "DATA",
// "PCMAP" and its language folders.
std::vector<KitCopy> kitCopyList();

}  // namespace kelmor
