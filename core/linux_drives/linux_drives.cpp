// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/linux_drives/linux_drives.hpp"

#include "core/linux_drives/linux_folder_listings.hpp"
#include "core/linux_drives/linux_image_files.hpp"
#include "core/posix_files/posix_error.hpp"

namespace kelmor::linux_drives {

Drives::Drives(DrivesSetup setup)
    : setup_(std::move(setup)),
      listings_(std::make_unique<FolderListings>()),
      imageFiles_(std::make_unique<HostImageFiles>()),
      images_(std::make_unique<DiscImages>(*imageFiles_)) {}

Drives::~Drives() = default;

const DriveMap& Drives::map() const {
    if (!map_) {
        map_ = std::make_unique<DriveMap>(
            setup_.driveMapText ? DriveMap::fromText(*setup_.driveMapText, setup_.mountsFile,
                                                     setup_.applicationFolder, listings_.get())
                                : DriveMap::load(setup_.driveMapFile, setup_.mountsFile,
                                                 setup_.applicationFolder, listings_.get()));
    }
    return *map_;
}

// A failure names the host's path, as the user knows the file.
std::string Drives::resolve(const std::string& windowsPath, PathUse use) const {
    std::error_code error;
    auto host = resolveWindowsPath(map(), windowsPath, use, error, listings_.get());
    if (!host) throw std::system_error(error, shownPath(windowsPath));
    return std::move(*host);
}

std::optional<HeldImage> Drives::imageHolding(std::string_view windowsPath) const {
    const auto path = splitWindowsPath(windowsPath);
    auto image = path ? map().image(path->drive) : std::nullopt;
    if (!image) return std::nullopt;
    return HeldImage{path->drive, std::move(*image), path->components.empty()};
}

bool Drives::onImage(const std::string& windowsPath) const {
    return imageHolding(windowsPath).has_value();
}

std::optional<std::string> Drives::option(std::string_view key) const { return map().option(key); }

// Each image is opened once per run; one without a disc that can be read
// throws, naming the image.
DiscImage* Drives::openImage(const std::string& windowsPath) const {
    const auto held = imageHolding(windowsPath);
    return held ? &images_->open(held->image) : nullptr;
}

DrivePlace Drives::file(const std::string& windowsPath) const {
    if (DiscImage* image = openImage(windowsPath)) return {{}, image, image->fileAt(windowsPath)};
    return {resolve(windowsPath, PathUse::Existing)};
}

std::optional<DrivePlace> Drives::find(const std::string& windowsPath) const {
    DiscImage* image = nullptr;
    try {
        image = openImage(windowsPath);
    } catch (const std::system_error&) {
        return std::nullopt;
    }
    if (image) {
        std::error_code error;
        const auto entry = image->findPath(windowsPath, error);
        if (!entry) return std::nullopt;
        return DrivePlace{{}, image, *entry};
    }
    const auto host = hostPath(windowsPath, PathUse::Existing);
    if (!host) return std::nullopt;
    return DrivePlace{*host};
}

std::string Drives::writablePath(const std::string& windowsPath, PathUse use) const {
    if (onImage(windowsPath)) posix_files::throwError(EROFS, shownPath(windowsPath));
    return resolve(windowsPath, use);
}

std::optional<std::string> Drives::hostPath(const std::string& windowsPath, PathUse use) const {
    std::error_code error;
    return resolveWindowsPath(map(), windowsPath, use, error, listings_.get());
}

// A path on a drive that names no folder stays as written, the only name
// it has.
std::string Drives::shownPath(const std::string& windowsPath) const {
    try {
        return hostPath(windowsPath).value_or(windowsPath);
    } catch (...) {
        return windowsPath;
    }
}

ImageFiles& Drives::imageFiles() const { return *imageFiles_; }

void Drives::added(const std::string& hostPath) { listings_->added(hostPath); }

void Drives::removed(const std::string& hostPath) { listings_->removed(hostPath); }

}  // namespace kelmor::linux_drives
