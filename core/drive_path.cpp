// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/drive_path.hpp"

namespace kelmor {

namespace {

bool isSeparator(char c) { return c == '\\' || c == '/'; }

}  // namespace

std::optional<WindowsPath> splitWindowsPath(std::string_view text) {
    if (text.size() < 2 || text[1] != ':') return std::nullopt;
    if (text.find('\0') != std::string_view::npos) return std::nullopt;
    char drive = text[0];
    if (drive >= 'a' && drive <= 'z') drive = static_cast<char>(drive - 'a' + 'A');
    if (drive < 'A' || drive > 'Z') return std::nullopt;

    WindowsPath path;
    path.drive = drive;
    std::size_t start = 2;
    while (start <= text.size()) {
        std::size_t end = start;
        while (end < text.size() && !isSeparator(text[end])) ++end;
        const std::string_view component = text.substr(start, end - start);
        if (component == "..") {
            if (!path.components.empty()) path.components.pop_back();
        } else if (!component.empty() && component != ".") {
            path.components.emplace_back(component);
        }
        start = end + 1;
    }
    return path;
}

}  // namespace kelmor
