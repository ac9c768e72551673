// SPDX-License-Identifier: GPL-3.0-or-later
// What a file chooser's path box stands for once the user has typed into it.
#pragma once

#include <string>
#include <string_view>

namespace kelmor::drives {

// The box opens holding its folder ("/home/ann/cds/"); an absolute path
// typed behind it makes a double slash ("/home/ann/cds//media/cd/x.iso"),
// and the path from there on is the one the user means ("/media/cd/x.iso"),
// whatever folder the box held. Any other text stands for itself.
std::string typedPath(std::string_view boxText);

}  // namespace kelmor::drives
