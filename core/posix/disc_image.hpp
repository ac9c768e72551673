// A CD image as the disc of a drive: the ISO 9660 file system of an ".iso"
// file, or of the data track of a ".cue" sheet, read through libcdio's
// libiso9660, with Rock Ridge and Joliet names.
//
// What can be read:
//  - an ".iso" of 2048-byte sectors;
//  - a ".cue" whose first track is its data track (the audio tracks after it
//    are the emulator's, which plays them; nothing here reads them):
//    - MODE1/2048: the file that the sheet names for the track, read as an
//      ISO 9660 image of its own. (libcdio's cue driver reads every track as
//      2352-byte sectors, so it cannot read this one.)
//    - MODE1/2352 or MODE2/2352: the file that the sheet names for the
//      track, through libcdio's cue driver. The driver reads only the file
//      named as the sheet with ".bin" for ".cue" ("kelmor.cue",
//      "kelmor.bin"); a track in a file of another name, as rips with one
//      file per track name them ("Kelmor (Track 1).bin"), is handed to it
//      as a sheet of that one track in a private temporary folder, beside
//      a link to the file, both gone once the driver has the file open.
//    Names in a sheet are taken as the emulator takes them (cueFilePath()).
//
// Anything else holds no disc, and opening it fails at once, never waiting:
// a missing file, a folder, a FIFO or device, a sheet without a data track,
// data without an ISO 9660 file system. libcdio reads beyond its buffers on
// some malformed folders, so an image is trusted to it only once a child
// process has read all its folders with it in time: one that makes libcdio
// crash, or read for ever, holds no disc either, and so does one with more
// folders than the check reads (a check that does not finish proves
// nothing; a CD holds a few hundred folders at the most). An image that ends early (a download
// cut short) holds only what lies before its end: a folder or file whose
// data lies beyond it is not there to be found or read.
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

#include "core/posix/image_check_verdicts.hpp"

namespace kelmor::posix {

// The most folders the check in a child process reads.
inline constexpr std::size_t kMostCheckedFolders = 100000;

class DiscImage {
public:
    struct Entry {
        std::string name;           // Rock Ridge, Joliet, or ISO 9660 without ";1"
        bool folder = false;
        std::uint32_t size = 0;     // in bytes
        std::int32_t sector = 0;    // where its data begins
        unsigned mode = 0;          // Rock Ridge permission bits; 0 without
        std::string pathInImage{};  // of a folder: how libcdio names it
    };

    // Opens the image at a host path; the check in a child process, which
    // reads at most `mostFolders` folders, is skipped when `verdicts` holds
    // a pass of the image unchanged, and kept there when it passes. Throws
    // std::system_error naming the image: ENOENT missing, EISDIR a folder,
    // EINVAL no regular file, EMEDIUMTYPE no disc that can be read, or the
    // host's error.
    explicit DiscImage(const std::string& imagePath,
                       const ImageCheckVerdicts& verdicts = ImageCheckVerdicts(),
                       std::size_t mostFolders = kMostCheckedFolders);
    ~DiscImage();
    DiscImage(const DiscImage&) = delete;
    DiscImage& operator=(const DiscImage&) = delete;

    // The entry that a path's components stand for, none being the root
    // folder. Each component is matched as in a host folder: the name
    // spelled so, else the first in byte order that equals it without regard
    // to ASCII case. Each folder is read once. Nothing, with `error` set:
    // ENOENT no such entry, ENOTDIR a component below a file, EIO a folder
    // that cannot be read.
    std::optional<Entry> find(const std::vector<std::string>& components, std::error_code& error);

    // Whether all of an entry's data lies within the image.
    bool holds(const Entry& entry) const;

    // Hands a file's content to `sink` piece by piece. Throws
    // std::system_error (EIO) where the image cannot be read.
    void read(const Entry& file, const std::function<void(std::string_view)>& sink) const;

    // The readers of the two kinds of image that libcdio opens.
    class Reader;

private:
    struct Unchecked {};
    // Opens the image without the check in a child process: the child's own.
    DiscImage(const std::string& imagePath, Unchecked);
    void openReader();
    // Throws EMEDIUMTYPE when a child process that reads every folder of the
    // image crashes, does not end in time or finds more than `mostFolders`.
    void checkFoldersInChild(std::size_t mostFolders) const;
    // Whether every folder was read: false when there are more than
    // `mostFolders`.
    bool readEveryFolder(std::size_t mostFolders);

    struct Listing {
        std::error_code error;
        std::vector<Entry> entries;
        std::vector<std::string> names;
    };
    const Listing& listingOf(const Entry& folder);

    std::string imagePath_;
    std::unique_ptr<Reader> reader_;
    std::unordered_map<std::string, Listing> folders_;
};

// The images opened while this lives (one run of a program): each at most
// once, and a failure to open is kept as well.
class DiscImages {
public:
    // The images are checked with the help of `verdicts`, reading at most
    // `mostFolders` folders.
    explicit DiscImages(ImageCheckVerdicts verdicts = ImageCheckVerdicts(),
                        std::size_t mostFolders = kMostCheckedFolders)
        : verdicts_(std::move(verdicts)), mostFolders_(mostFolders) {}

    // The open image at a host path; throws as DiscImage() threw, also when
    // asked again.
    DiscImage& open(const std::string& imagePath);

private:
    ImageCheckVerdicts verdicts_;
    std::size_t mostFolders_;
    std::unordered_map<std::string, std::unique_ptr<DiscImage>> images_;
    std::unordered_map<std::string, std::system_error> failures_;
};

}  // namespace kelmor::posix
