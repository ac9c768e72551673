// SPDX-License-Identifier: GPL-3.0-or-later
// The per-user drive map: which host folder stands behind each drive letter.
//
// C: is always the host root "/". D: to Z: come from the file
// "<config home>/kelmor/drives.ini":
//
//     [drives]
//     E=/media/ann/KELMOR CD
//     [options]
//     detect=no
//
// A [drives] line names a letter from D to Z (either case) and an absolute
// host folder; blanks around key and value are dropped, a value in double
// quotes is taken without them, and a leading "~/" stands for the user's
// home folder. Lines that do not fit (another letter, C:, an empty or
// relative folder, a letter named before) are set aside with the reason
// (unusableLines()); the first line naming a letter wins. Letters the file does not name are
// given, from D upward, to the optical discs (iso9660, udf) listed in the
// mount table, then to the disc images lying in the application folder
// itself, in name order, unless [options] says detect=no. A letter with no
// folder is a missing drive.
//
// A line may name a disc image instead of a folder: a file whose name ends
// in ".iso" or ".cue" (either case), E=/home/ann/cds/kelmor.cue. Such a
// drive holds the image's disc; the name alone decides, so an image that is
// missing, or a folder, is a drive without a disc.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/ini_text.hpp"

namespace kelmor::linux_drives {

class FolderListings;

inline constexpr std::string_view kDriveMapFileName = "drives.ini";
inline constexpr std::string_view kDefaultMountsFile = "/proc/self/mounts";

// A [drives] entry that names no drive, and why.
struct UnusableDriveLine {
    std::string key;
    std::string value;
    std::string why;
};

// What the drive map text alone does not say.
struct DriveMapSurroundings {
    std::string homeFolder;                 // what a leading "~/" stands for
    std::vector<std::string> imagesBeside;  // disc images in the application folder, in name order
};

// Where a drive's folder or image comes from.
enum class DriveSource { DriveMap, MountedDisc, ImageBeside };

class DriveMap {
public:
    // No drives but C:.
    DriveMap() = default;

    // The map that a drive map text and a mount table text (in the format
    // of /proc/self/mounts, with octal escapes such as \040) describe.
    // Without a home folder a line starting with "~/" is unusable.
    static DriveMap parse(std::string_view driveMapText, std::string_view mountsText,
                          const DriveMapSurroundings& surroundings = {});

    // The map from the drive map file, the mount table file and the disc
    // images in the application folder (none when it is not given; its
    // names from `listings` when given); a file that cannot be read, or is
    // no regular file, counts as empty. With detect=no neither the mount
    // table nor the folder is read.
    static DriveMap load(const std::string& driveMapFile,
                         const std::string& mountsFile = std::string(kDefaultMountsFile),
                         const std::string& applicationFolder = {},
                         FolderListings* listings = nullptr);

    // The same with the drive map's text given instead of its file.
    static DriveMap fromText(std::string_view driveMapText, const std::string& mountsFile,
                             const std::string& applicationFolder,
                             FolderListings* listings = nullptr);

    // Host path behind a drive letter (either case): its folder, or its
    // disc image; without a trailing slash except for "/"; nothing for a
    // missing drive or a non-letter.
    std::optional<std::string> root(char letter) const;

    // The disc image behind a drive letter, when the path behind it names
    // one (isDiscImageName()); nothing for a folder or a missing drive.
    std::optional<std::string> image(char letter) const;

    // Where the folder or image behind a letter (D to Z) comes from.
    std::optional<DriveSource> source(char letter) const;

    // A value of the [options] section, blanks around it dropped; the key is
    // matched without regard to case.
    std::optional<std::string> option(std::string_view key) const;

    // Whether letters the text does not name go to mounted discs and to the
    // images beside the programs: unless [options] says detect=no (or
    // false, off, 0, in any case).
    bool detects() const;

    // The drive map's text as read.
    const IniText& text() const { return file_; }

    // The [drives] entries that name no drive, in text order.
    const std::vector<UnusableDriveLine>& unusableLines() const { return unusable_; }

private:
    void nameDrive(const std::string& key, const std::string& value, const std::string& homeFolder);
    // Gives each path not yet behind a letter the lowest free one.
    void fillFreeLetters(const std::vector<std::string>& paths, DriveSource source);

    std::array<std::optional<std::string>, 26> roots_;
    std::array<DriveSource, 26> sources_{};
    IniText file_;
    std::vector<UnusableDriveLine> unusable_;
};

// The host path a drive map value stands for: blanks around it dropped,
// double quotes around it removed, a leading "~/" (or "~" alone) made the
// home folder; slashes tidied. Nothing, with `why` set, when it is no
// absolute path.
std::optional<std::string> drivePathOfValue(std::string_view value, const std::string& homeFolder,
                                            std::string& why);

// Whether a host path names a disc image (".iso", ".cue", in either case)
// rather than a folder. This alone decides which kind of drive a letter is.
bool isDiscImageName(std::string_view hostPath);

// The disc images (isDiscImageName()) among the files of a host folder, in
// name order; none when it cannot be read. The folder's names come from
// `listings` when given.
std::vector<std::string> discImagesIn(const std::string& folder,
                                      FolderListings* listings = nullptr);

// The mount points of optical discs (iso9660, udf) in a mount table text,
// in table order, escapes decoded.
std::vector<std::string> opticalDiscMounts(std::string_view mountsText);

}  // namespace kelmor::linux_drives
