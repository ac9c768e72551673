#include "core/cd_search.hpp"

#include "core/host.hpp"
#include "core/text.hpp"

namespace kelmor {

std::string lastHitFolder(Host& host, const std::vector<CdProbe>& probes) {
    std::string folder;
    for (const CdProbe& probe : probes)
        if (host.fileExist(probe.markerFile)) folder = probe.folder;
    return folder;
}

CdLocation locateCd(const std::string& folder) {
    return {folder, leftOf(folder, 3), leftOf(folder, 1)};
}

}  // namespace kelmor
