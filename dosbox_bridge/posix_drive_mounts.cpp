// SPDX-License-Identifier: GPL-3.0-or-later
#include "dosbox_bridge/posix_drive_mounts.hpp"

#include <system_error>

#include "core/image_check.hpp"
#include "core/linux_drives/linux_drives.hpp"
#include "dosbox_bridge/posix_runtime_copy.hpp"

namespace kelmor::bridge {

namespace {

// The image as the emulator can mount its sheet: the bridge's own sheet in
// its place, which names the files as they are spelled, declares raw CD
// audio BINARY and leaves out what the emulator cannot play; the image
// itself when that sheet cannot be written.
HostMount mendedSheet(const std::string& image, const ImageCheck& check, const std::string& drive,
                      std::vector<std::string>& problems) {
    for (const MendedTracks& mended : check.mended)
        problems.push_back(drive + describeMended(mended, image));
    if (!check.leftOut.empty()) problems.push_back(drive + describeLeftOut(check, image));
    try {
        return {writeRuntimeCopy(runtimeBases(), image, *check.sheet, kCueSheetCopy), true, image};
    } catch (const std::system_error& failure) {
        problems.push_back(drive + "its sheet as DOSBox can mount it cannot be written: " +
                           std::string(failure.what()));
        return {image, true};
    }
}

// The mount of a drive that holds a disc image: the image checked as the
// emulator reads it, whole.
std::optional<HostMount> imageMount(const linux_drives::Drives& drives,
                                    const linux_drives::HeldImage& held, EmulatorDialect emulator,
                                    std::string_view drivePath,
                                    std::vector<std::string>& problems) {
    if (!held.whole) {
        problems.push_back("cannot mount " + std::string(drivePath) + ": " + held.drive +
                           ": is the disc image " + held.image + ", mounted only whole");
        return std::nullopt;
    }
    const ImageCheck check = checkDiscImage(drives.imageFiles(), held.image, emulator);
    const std::string drive = std::string(1, held.drive) + ": ";
    if (!check.noDisc.empty()) {
        problems.push_back(drive + "holds no disc, its image cannot be read: " + held.image + ": " +
                           check.noDisc);
        return std::nullopt;
    }
    if (!check.sheet) return HostMount{held.image, true};
    return mendedSheet(held.image, check, drive, problems);
}

}  // namespace

std::optional<HostMount> hostMount(const linux_drives::Drives& drives, EmulatorDialect emulator,
                                   std::string_view drivePath, std::vector<std::string>& problems) {
    if (const auto held = drives.imageHolding(drivePath))
        return imageMount(drives, *held, emulator, drivePath, problems);
    auto folder = drives.hostPath(std::string(drivePath));
    if (!folder) return std::nullopt;
    return HostMount{std::move(*folder), false};
}

}  // namespace kelmor::bridge
