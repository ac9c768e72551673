// SPDX-License-Identifier: GPL-3.0-or-later
// The drives of a Linux desktop as the Windows programs see them: where a
// drive-letter path leads. C: is the host's root; D: to Z: are the folders
// and disc images of the per-user drive map, the mounted optical discs and
// the images beside the programs (linux_drive_map.hpp). A path leads to a file or
// folder of the host, names matched without regard to case
// (linux_windows_path.hpp), or to an entry of the disc image its drive holds,
// which is only ever read, as a CD is.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "core/disc_image.hpp"
#include "core/linux_drives/linux_drive_map.hpp"
#include "core/linux_drives/linux_windows_path.hpp"

namespace kelmor::linux_drives {

class FolderListings;
class HostImageFiles;

// What the drives are made of.
struct DrivesSetup {
    // The host folder of the programs, beside which disc images get letters.
    std::string applicationFolder;
    // The drive map file.
    std::string driveMapFile;
    // Its text, when given instead of the file.
    std::optional<std::string> driveMapText{};
    // Where mounted optical discs are listed.
    std::string mountsFile = std::string(kDefaultMountsFile);
};

// A file or folder a drive-letter path names: the host's, or an entry of the
// disc image its drive holds.
struct DrivePlace {
    std::string hostPath;        // on a folder drive
    DiscImage* image = nullptr;  // on an image drive: the image, open
    DiscImage::Entry entry{};    // and the entry there
    bool readOnly() const { return image != nullptr; }
};

// The disc image a drive holds, as a path on that drive finds it.
struct HeldImage {
    char drive = 0;      // the drive's letter, upper case
    std::string image;   // the image's host path
    bool whole = false;  // the path names the drive's root: the whole image
};

class Drives {
public:
    explicit Drives(DrivesSetup setup);
    ~Drives();
    Drives(const Drives&) = delete;
    Drives& operator=(const Drives&) = delete;

    // The drive map, read on first use.
    const DriveMap& map() const;

    // The file a path names, to be read: on an image, its entry (a folder
    // is EISDIR); on a folder drive, its host path. Throws
    // std::system_error: a miss names shownPath(), an image without a
    // readable disc names the image.
    DrivePlace file(const std::string& windowsPath) const;

    // The same without a failure: nothing where no file or folder is there,
    // or the image holds no disc.
    std::optional<DrivePlace> find(const std::string& windowsPath) const;

    // The host path to write, create or remove at a path (PathUse::Existing
    // or Destination). Throws std::system_error naming shownPath(): EROFS
    // on an image drive, or why the path cannot be resolved.
    std::string writablePath(const std::string& windowsPath, PathUse use) const;

    // Whether a path's drive holds a disc image.
    bool onImage(const std::string& windowsPath) const;

    // The disc image a path's drive holds; nothing on a folder drive, a
    // missing one, or for a text that is no drive-letter path.
    std::optional<HeldImage> imageHolding(std::string_view windowsPath) const;

    // A value of the drive map's [options] (DriveMap::option()).
    std::optional<std::string> option(std::string_view key) const;

    // The host path of a path on a folder drive; nothing for a missing
    // drive, one that holds an image, or (but Lenient, where components not
    // found are taken as given) a path not found.
    std::optional<std::string> hostPath(const std::string& windowsPath,
                                        PathUse use = PathUse::Lenient) const;

    // A path as the user knows it: its host path, else as written.
    std::string shownPath(const std::string& windowsPath) const;

    // The host's files as images are read from them.
    ImageFiles& imageFiles() const;

    // A file this process created or replaced, or removed, at a host path.
    void added(const std::string& hostPath);
    void removed(const std::string& hostPath);

private:
    std::string resolve(const std::string& windowsPath, PathUse use) const;
    DiscImage* openImage(const std::string& windowsPath) const;

    DrivesSetup setup_;
    mutable std::unique_ptr<DriveMap> map_;
    // The folders read while this lives: one run of a program.
    std::unique_ptr<FolderListings> listings_;
    // The disc images opened while this lives, read from the host's files.
    std::unique_ptr<HostImageFiles> imageFiles_;
    std::unique_ptr<DiscImages> images_;
};

}  // namespace kelmor::linux_drives
