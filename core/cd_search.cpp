// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/cd_search.hpp"

#include "core/dosbox_config.hpp"
#include "core/host.hpp"
#include "core/text.hpp"

namespace kelmor {

std::string lastHitFolder(Host& host, const std::vector<CdProbe>& probes) {
    std::string folder;
    for (const CdProbe& probe : probes)
        if (host.fileExist(probe.markerFile)) folder = probe.folder;
    return folder;
}

std::string noCdMessage(const Host& host, std::string_view message) {
    const std::string advice = host.noCdAdvice();
    return std::string(message) + (advice.empty() ? "" : "\n" + advice);
}

CdLocation locateCd(const Host& host, const std::string& folder) {
    CdLocation cd{folder, leftOf(folder, 3), leftOf(folder, 1)};
    if (!folder.empty()) cd.image = host.driveImage(folder[0]).value_or("");
    return cd;
}

std::string imageMountLines(std::string_view imgmount, std::string_view rem, const CdLocation& cd) {
    std::string lines;
    for (const std::string& remark : cd.remarks)
        lines += remarkLine(rem, remark) + std::string(kCrLf);
    return lines + imageMountLine(imgmount, cd.letter,
                                  mountFolderArgument(cd.mounted.empty() ? cd.image : cd.mounted));
}

}  // namespace kelmor
