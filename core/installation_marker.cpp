// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/installation_marker.hpp"

#include <system_error>

#include "core/host.hpp"
#include "core/text.hpp"

namespace kelmor {

std::vector<std::string> splitTextLines(std::string_view content) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < content.size()) {
        const std::size_t cr = content.find('\r', start);
        if (cr == std::string_view::npos) {
            lines.emplace_back(content.substr(start));
            break;
        }
        lines.emplace_back(content.substr(start, cr - start));
        start = cr + 1;
        if (start < content.size() && content[start] == '\n') ++start;
    }
    return lines;
}

std::string readMarkerText(Host& host) {
    std::string content;
    try {
        content = host.readFile(host.applicationFolder() + std::string(kMarkerFileSuffix));
    } catch (const std::system_error&) {
        return {};
    }
    std::string marker;
    for (const std::string& line : splitTextLines(content)) {
        marker += kCrLf;
        marker += line;
    }
    return marker;
}

bool kitIsInstalled(Host& host) { return readMarkerText(host) == std::string(kCrLf) + "KELPLIX"; }

}  // namespace kelmor
