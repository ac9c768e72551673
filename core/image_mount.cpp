// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/image_mount.hpp"

#include "core/ascii_text.hpp"
#include "core/disc_image.hpp"
#include "core/dosbox_config.hpp"
#include "core/failure.hpp"
#include "core/host.hpp"
#include "core/image_check.hpp"

namespace kelmor {

std::string emulatorSheetPath(const std::string& applicationFolder, const std::string& image) {
    const std::size_t slash = image.find_last_of('\\');
    std::string name = image.substr(slash == std::string::npos ? 0 : slash + 1);
    if (const std::size_t dot = name.rfind('.'); dot != std::string::npos) name.erase(dot);
    return applicationFolder + "\\" + name + std::string(kEmulatorSheetSuffix);
}

bool isEmulatorSheetFileName(std::string_view name) {
    const std::size_t suffix = kEmulatorSheetSuffix.size();
    return name.size() > suffix &&
           equalIgnoringAsciiCase(name.substr(name.size() - suffix), kEmulatorSheetSuffix);
}

void prepareImageMount(Host& host, CdLocation& cd) {
    if (cd.image.empty() || !isCueSheetFileName(cd.image)) return;
    const ImageCheck check =
        checkDiscImage(host.imageFiles(), cd.image, emulatorAtHand(host).dialect);
    const std::string sheet = emulatorSheetPath(host.applicationFolder(), cd.image);
    if (!check.sheet) {
        if (host.fileExist(sheet)) dropFailure([&] { host.deleteFile(sheet); });
        return;
    }
    const std::string drive = cd.letter + ": ";
    for (const MendedTracks& mended : check.mended)
        cd.remarks.push_back(drive + describeMended(mended, cd.image));
    if (!check.leftOut.empty()) cd.remarks.push_back(drive + describeLeftOut(check, cd.image));
    if (const auto failure = failureOf([&] { host.replaceFile(sheet, *check.sheet); })) {
        cd.remarks.push_back(
            drive + "its sheet as DOSBox can mount it cannot be written: " + failure->what());
        return;
    }
    cd.mounted = sheet;
}

}  // namespace kelmor
