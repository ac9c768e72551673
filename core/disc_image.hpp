// SPDX-License-Identifier: GPL-3.0-or-later
// A CD image as the disc of a drive, read as the emulator reads it: the
// ISO 9660 file system of an ".iso" file, or of the first track of a ".cue"
// sheet, with the names of its primary volume.
//
// What can be read:
//  - an ".iso" of 2048-byte sectors;
//  - a ".cue" whose first track is its data track, MODE1/2048, MODE1/2352
//    or MODE2/2352 (form 1), in the file the sheet names for it, from where
//    its INDEX 01 says: one file for the whole disc, or one per track. The
//    audio tracks after it are the emulator's, which plays them; nothing
//    here reads them. Names in a sheet are taken as the emulator takes them
//    (cueFilePath()), and found without regard to letter case, as on
//    Windows, where most rips are made (ImageFiles::matchingFile()).
//
// Names are those of the primary volume descriptor, without their version
// (";1") and without the dot of a name that has no extension ("README.");
// Rock Ridge and Joliet names are the host's, which the emulator does not
// show. A folder may take any number of sectors.
//
// Everything is read through ImageFiles, the host's files, a piece at a
// time: every read is bounded by the structure it belongs to and by what the
// file holds at the time of reading, so an image that is hostile, cut short
// or changed while it is read holds no disc, or no such file, or a file that
// cannot be read; nothing is read beyond what the image holds.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <unordered_map>
#include <vector>

namespace kelmor {

// Bytes of data in a sector of a data track.
inline constexpr std::uint32_t kDiscSectorBytes = 2048;

// A cue sheet is a few lines; anything longer is no cue sheet.
inline constexpr std::size_t kLongestCueSheet = 1 << 20;

// The most bytes a folder of an image may take (some 400,000 entries, far
// more than any CD holds); a larger one cannot be read.
inline constexpr std::uint32_t kLargestImageFolder = 16 * 1024 * 1024;

// Whether a file's name (or a path ending in one) ends in ".cue", in either
// case, after at least one other character: a cue sheet.
bool isCueSheetFileName(std::string_view name);

// The same for ".iso" or ".cue": a disc image, as far as its name tells.
bool isDiscImageFileName(std::string_view name);

// The host's files, as disc images are read from them.
class ImageFiles {
public:
    virtual ~ImageFiles() = default;

    // Up to `count` bytes of the file at a host path from `offset` on; fewer
    // where the file ends now. Throws std::system_error naming the path:
    // ENOENT missing, EISDIR a folder, EINVAL no regular file (it is never
    // waited on), or the host's error.
    virtual std::string readBytes(const std::string& path, std::uint64_t offset,
                                  std::size_t count) = 0;

    // The file that a cue sheet's name stands for, found as Windows finds
    // it, without regard to letter case: `path` itself when it is there (or
    // names nothing else), else the entry of each folder on the way whose
    // name equals it so (the first in byte order). Where the host's files
    // are matched so anyway, `path` itself.
    virtual std::string matchingFile(const std::string& path) { return path; }

    // The text of a cue sheet's bytes, in which its names are the host's
    // paths: on Windows, where the emulator reads a sheet in the ANSI code
    // page, the UTF-8 of those characters; elsewhere the bytes themselves.
    virtual std::string sheetText(std::string bytes) { return bytes; }

    // What separates folders in the host's paths: '/' or '\\'.
    virtual char separator() const = 0;

    // The host's error of a drive whose image holds no disc that can be read.
    virtual std::error_code noDisc() const = 0;
};

class DiscImage {
public:
    struct Entry {
        std::string name;  // as the emulator shows it
        bool folder = false;
        std::uint32_t size = 0;    // in bytes
        std::uint32_t sector = 0;  // where its data begins
    };

    // Opens the image at a host path: reads the sheet of a ".cue" (any
    // letter case) and the volume descriptor. Throws std::system_error
    // naming the image or its track's file: ENOENT, EISDIR, EINVAL as
    // ImageFiles does, ImageFiles::noDisc() no disc that can be read. A
    // data track's file that is not there is ENOENT, "<image>: the sheet
    // names `<name>`, which is not beside it".
    DiscImage(ImageFiles& files, const std::string& imagePath);

    // The entry that a path's components stand for, none being the root
    // folder. Each component is matched as in a host folder: the name
    // spelled so, else the first in byte order that equals it without regard
    // to ASCII case. Each folder is read once. Nothing, with `error` set:
    // ENOENT no such entry, ENOTDIR a component below a file, EIO a folder
    // that cannot be read.
    std::optional<Entry> find(const std::vector<std::string>& components, std::error_code& error);

    // The same for a drive-letter path ("E:\\KELMOR\\VIGNET.DAT"): its
    // components after the drive, empty ones skipped as Windows skips them.
    std::optional<Entry> findPath(std::string_view drivePath, std::error_code& error);

    // The file a drive-letter path names. Throws std::system_error naming
    // the path: as find() fails, or EISDIR for a folder.
    Entry fileAt(const std::string& drivePath);

    // Whether all of an entry's data lies within the image now.
    bool holds(const Entry& entry);

    // Hands a file's content to `sink` piece by piece. Throws SourceFailure
    // (EIO) where the image does not hold it, or its file cannot be read;
    // what `sink` throws passes as it is.
    void read(const Entry& file, const std::function<void(std::string_view)>& sink);

    // Up to `count` bytes of a file from `offset` on; fewer where it ends.
    // Throws as read() does.
    std::string readBytes(const Entry& file, std::uint64_t offset, std::size_t count);

private:
    struct Listing {
        std::error_code error;
        std::vector<Entry> entries;
        std::unordered_map<std::string, std::size_t> exact;  // name -> entry
        std::unordered_map<std::string, std::size_t>
            folded;  // lower-case name -> first in byte order
    };
    const Listing& listingOf(const Entry& folder);
    void readListing(const Entry& folder, Listing& listing);
    // The data bytes of `count` sectors from `first` on, read from the track's
    // file; fewer sectors where the file ends.
    std::string readSectors(std::uint64_t first, std::uint32_t count);
    // Where a sector begins in the track's file, and where a byte of its data lies.
    std::uint64_t sectorStart(std::uint64_t sector) const;
    std::uint64_t fileOffset(std::uint64_t sector, std::uint32_t byte) const;

    ImageFiles& files_;
    std::string imagePath_;
    std::string trackFile_;
    std::uint64_t trackStart_ = 0;  // byte of the track's file where sector 0 begins
    std::uint32_t sectorBytes_ = kDiscSectorBytes;
    std::uint32_t dataOffset_ = 0;  // where a sector's data begins within it
    Entry root_;
    std::unordered_map<std::uint32_t, Listing> folders_;  // by sector
};

// The images opened while this lives (one run of a program): each at most
// once, and a failure to open is kept as well.
class DiscImages {
public:
    explicit DiscImages(ImageFiles& files) : files_(files) {}

    // The open image at a host path; throws as DiscImage() threw, also when
    // asked again.
    DiscImage& open(const std::string& imagePath);

private:
    ImageFiles& files_;
    std::unordered_map<std::string, std::unique_ptr<DiscImage>> images_;
    std::unordered_map<std::string, std::system_error> failures_;
};

}  // namespace kelmor
