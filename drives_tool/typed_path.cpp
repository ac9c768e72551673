// SPDX-License-Identifier: GPL-3.0-or-later
#include "drives_tool/typed_path.hpp"

namespace kelmor::drives {

std::string typedPath(std::string_view boxText) {
    const std::size_t restart = boxText.rfind("//");
    if (restart == std::string_view::npos) return std::string(boxText);
    return std::string(boxText.substr(restart + 1));
}

}  // namespace kelmor::drives
