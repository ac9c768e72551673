// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/disc_image.hpp"

#include <algorithm>
#include <utility>

#include "core/ascii_text.hpp"
#include "core/cue_sheet.hpp"
#include "core/failure.hpp"

namespace kelmor {

namespace {

// Sectors read at once: a file's content, a folder's records.
constexpr std::uint32_t kSectorsPerRead = 32;

// The volume descriptors begin at sector 16; the primary one is looked for
// among the first few, up to the set's terminator.
constexpr std::uint32_t kFirstVolumeDescriptor = 16;
constexpr std::uint32_t kMostVolumeDescriptors = 32;
constexpr unsigned char kPrimaryVolume = 1;
constexpr unsigned char kVolumeSetEnd = 255;

// Where the fields of a volume descriptor and a folder record lie.
constexpr std::size_t kLogicalBlockSizeAt = 128;
constexpr std::size_t kRootRecordAt = 156;
constexpr std::size_t kRecordLengthAt = 0;
constexpr std::size_t kAttributeSectorsAt = 1;
constexpr std::size_t kExtentAt = 2;
constexpr std::size_t kSizeAt = 10;
constexpr std::size_t kFlagsAt = 25;
constexpr std::size_t kNameLengthAt = 32;
constexpr std::size_t kNameAt = 33;
constexpr unsigned char kFolderFlag = 0x02;
constexpr unsigned char kAssociatedFileFlag = 0x04;

// A track's sectors as a cue sheet's mode lays them out in its file.
struct SectorLayout {
    std::string_view mode;
    std::uint32_t sectorBytes;
    std::uint32_t dataOffset;  // sync and header (and MODE2's subheader) before the data
};
constexpr SectorLayout kDataTrackLayouts[] = {
    {"MODE1/2048", 2048, 0},
    {"MODE1/2352", 2352, 16},
    {"MODE2/2352", 2352, 24},
};

std::uint32_t littleEndian32(std::string_view bytes, std::size_t at) {
    std::uint32_t value = 0;
    for (std::size_t i = 4; i-- > 0;)
        value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

std::uint16_t littleEndian16(std::string_view bytes, std::size_t at) {
    return static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[at]) |
                                      static_cast<unsigned char>(bytes[at + 1]) << 8);
}

[[noreturn]] void fail(std::error_code error, const std::string& what) {
    throw std::system_error(error, what);
}

bool endsInExtension(std::string_view name, std::string_view extension) {
    return name.size() > extension.size() &&
           equalIgnoringAsciiCase(name.substr(name.size() - extension.size()), extension);
}

// A name as the emulator shows it: without its version (";1"), and without
// the dot that ends a name with no extension.
std::string shownName(std::string_view recorded) {
    recorded = recorded.substr(0, recorded.find(';'));
    if (recorded.size() > 1 && recorded.back() == '.') recorded.remove_suffix(1);
    return std::string(recorded);
}

// The entry a folder record stands for; nothing for the records of the
// folder itself and its parent, an associated file, or a record whose name
// does not fit in it.
std::optional<DiscImage::Entry> entryOfRecord(std::string_view record) {
    const std::size_t nameLength = static_cast<unsigned char>(record[kNameLengthAt]);
    if (kNameAt + nameLength > record.size() || nameLength == 0) return std::nullopt;
    const std::string_view name = record.substr(kNameAt, nameLength);
    const auto flags = static_cast<unsigned char>(record[kFlagsAt]);
    if ((nameLength == 1 && (name[0] == '\0' || name[0] == '\1')) || (flags & kAssociatedFileFlag))
        return std::nullopt;
    DiscImage::Entry entry{shownName(name), (flags & kFolderFlag) != 0,
                           littleEndian32(record, kSizeAt), littleEndian32(record, kExtentAt)};
    const auto attributeSectors = static_cast<unsigned char>(record[kAttributeSectorsAt]);
    entry.sector += attributeSectors;
    if (entry.name.empty() || entry.name == "." || entry.name == ".." ||
        entry.sector < attributeSectors)
        return std::nullopt;
    return entry;
}

// The records of a sector of a folder, in order; a record that would run
// past the sector's end ends its records, as a zero length does.
template <typename Visit>
void forEachRecord(std::string_view sector, Visit visit) {
    std::size_t at = 0;
    while (at < sector.size()) {
        const std::size_t length = static_cast<unsigned char>(sector[at + kRecordLengthAt]);
        if (length <= kNameAt || at + length > sector.size()) return;
        visit(sector.substr(at, length));
        at += length;
    }
}

std::uint32_t sectorsOf(std::uint32_t bytes) {
    return bytes / kDiscSectorBytes + (bytes % kDiscSectorBytes != 0);
}

}  // namespace

bool isCueSheetFileName(std::string_view name) { return endsInExtension(name, ".cue"); }

bool isDiscImageFileName(std::string_view name) {
    return endsInExtension(name, ".iso") || isCueSheetFileName(name);
}

DiscImage::DiscImage(ImageFiles& files, const std::string& imagePath)
    : files_(files), imagePath_(imagePath), trackFile_(imagePath) {
    if (isCueSheetFileName(imagePath)) {
        std::string sheet = files.readBytes(imagePath, 0, kLongestCueSheet + 1);
        if (sheet.size() > kLongestCueSheet)
            fail(files.noDisc(), imagePath + ": too long for a cue sheet");
        sheet = files.sheetText(std::move(sheet));
        const auto track = firstCueTrack(sheet);
        if (!track) fail(files.noDisc(), imagePath + ": the cue sheet names no track in a file");
        const auto layout =
            std::find_if(std::begin(kDataTrackLayouts), std::end(kDataTrackLayouts),
                         [&](const SectorLayout& l) { return l.mode == track->mode; });
        if (layout == std::end(kDataTrackLayouts))
            fail(files.noDisc(), imagePath + ": its first track is " + track->mode +
                                     ", not a MODE1/2048, MODE1/2352 or MODE2/2352 data track");
        trackFile_ = files.matchingFile(cueFilePath(imagePath, track->file, files.separator()));
        try {
            files.readBytes(trackFile_, 0, 0);
        } catch (const std::system_error& failure) {
            if (failure.code() != std::errc::no_such_file_or_directory) throw;
            fail(failure.code(), imagePath + ": " + missingCueFile(track->file));
        }
        sectorBytes_ = layout->sectorBytes;
        dataOffset_ = layout->dataOffset;
        trackStart_ = std::uint64_t{track->start} * sectorBytes_;
    }
    for (std::uint32_t at = kFirstVolumeDescriptor;
         at < kFirstVolumeDescriptor + kMostVolumeDescriptors; ++at) {
        const std::string descriptor = readSectors(at, 1);
        if (descriptor.size() < kDiscSectorBytes || descriptor.compare(1, 5, "CD001") != 0 ||
            static_cast<unsigned char>(descriptor[0]) == kVolumeSetEnd)
            break;
        if (static_cast<unsigned char>(descriptor[0]) != kPrimaryVolume) continue;
        const std::string_view record = std::string_view(descriptor).substr(kRootRecordAt, 34);
        if (littleEndian16(descriptor, kLogicalBlockSizeAt) != kDiscSectorBytes ||
            (static_cast<unsigned char>(record[kFlagsAt]) & kFolderFlag) == 0)
            break;
        root_ = Entry{"", true, littleEndian32(record, kSizeAt),
                      littleEndian32(record, kExtentAt) +
                          static_cast<unsigned char>(record[kAttributeSectorsAt])};
        return;
    }
    fail(files.noDisc(), imagePath + ": holds no ISO 9660 file system");
}

std::uint64_t DiscImage::fileOffset(std::uint64_t sector, std::uint32_t byte) const {
    return sectorStart(sector) + dataOffset_ + byte;
}

std::uint64_t DiscImage::sectorStart(std::uint64_t sector) const {
    return trackStart_ + sector * sectorBytes_;
}

std::string DiscImage::readSectors(std::uint64_t first, std::uint32_t count) {
    const std::string raw =
        files_.readBytes(trackFile_, sectorStart(first), std::size_t{count} * sectorBytes_);
    if (sectorBytes_ == kDiscSectorBytes)
        return raw.substr(0, raw.size() - raw.size() % kDiscSectorBytes);
    std::string data;
    for (std::size_t at = 0; at + sectorBytes_ <= raw.size(); at += sectorBytes_)
        data.append(raw, at + dataOffset_, kDiscSectorBytes);
    return data;
}

const DiscImage::Listing& DiscImage::listingOf(const Entry& folder) {
    const auto known = folders_.find(folder.sector);
    if (known != folders_.end()) return known->second;
    Listing& listing = folders_[folder.sector];
    try {
        readListing(folder, listing);
    } catch (const std::system_error& failure) {
        listing = Listing();
        listing.error = failure.code();
    }
    return listing;
}

// A folder's records, a few sectors at a time; one that the image does not
// hold whole cannot be read.
void DiscImage::readListing(const Entry& folder, Listing& listing) {
    if (folder.size > kLargestImageFolder) {
        listing.error = std::make_error_code(std::errc::io_error);
        return;
    }
    const std::uint32_t sectors = sectorsOf(folder.size);
    for (std::uint32_t done = 0; done < sectors;) {
        const std::uint32_t count = std::min(kSectorsPerRead, sectors - done);
        const std::string data = readSectors(std::uint64_t{folder.sector} + done, count);
        if (data.size() < std::size_t{count} * kDiscSectorBytes) {
            listing.error = std::make_error_code(std::errc::io_error);
            return;
        }
        for (std::uint32_t i = 0; i < count; ++i) {
            forEachRecord(
                std::string_view(data).substr(std::size_t{i} * kDiscSectorBytes, kDiscSectorBytes),
                [&](std::string_view record) {
                    if (auto entry = entryOfRecord(record))
                        listing.entries.push_back(std::move(*entry));
                });
        }
        done += count;
    }
    for (std::size_t i = 0; i < listing.entries.size(); ++i) {
        const std::string& name = listing.entries[i].name;
        listing.exact.emplace(name, i);
        const auto [best, added] = listing.folded.emplace(lowerAscii(name), i);
        if (!added && name < listing.entries[best->second].name) best->second = i;
    }
}

std::optional<DiscImage::Entry> DiscImage::find(const std::vector<std::string>& components,
                                                std::error_code& error) {
    Entry current = root_;
    for (const std::string& component : components) {
        if (!current.folder) {
            error = std::make_error_code(std::errc::not_a_directory);
            return std::nullopt;
        }
        const Listing& listing = listingOf(current);
        if (listing.error) {
            error = listing.error;
            return std::nullopt;
        }
        auto match = listing.exact.find(component);
        if (match == listing.exact.end()) match = listing.folded.find(lowerAscii(component));
        if (match == listing.folded.end()) {
            error = std::make_error_code(std::errc::no_such_file_or_directory);
            return std::nullopt;
        }
        current = listing.entries[match->second];
    }
    error.clear();
    return current;
}

std::optional<DiscImage::Entry> DiscImage::findPath(std::string_view drivePath,
                                                    std::error_code& error) {
    std::vector<std::string> components;
    for (std::size_t start = 2, end; start <= drivePath.size(); start = end + 1) {
        end = std::min(drivePath.find('\\', start), drivePath.size());
        if (end > start) components.emplace_back(drivePath.substr(start, end - start));
    }
    return find(components, error);
}

DiscImage::Entry DiscImage::fileAt(const std::string& drivePath) {
    std::error_code error;
    const auto entry = findPath(drivePath, error);
    if (!entry) throw std::system_error(error, drivePath);
    if (entry->folder) fail(std::make_error_code(std::errc::is_a_directory), drivePath);
    return *entry;
}

bool DiscImage::holds(const Entry& entry) {
    if (entry.size == 0) return true;
    const std::uint32_t last = entry.size - 1;
    try {
        return !files_
                    .readBytes(trackFile_,
                               fileOffset(std::uint64_t{entry.sector} + last / kDiscSectorBytes,
                                          last % kDiscSectorBytes),
                               1)
                    .empty();
    } catch (const std::system_error&) {
        return false;
    }
}

void DiscImage::read(const Entry& file, const std::function<void(std::string_view)>& sink) {
    for (std::uint64_t at = 0; at < file.size;) {
        const std::string part = readingSource(
            [&] { return readBytes(file, at, std::size_t{kSectorsPerRead} * kDiscSectorBytes); });
        sink(part);
        at += part.size();
    }
}

std::string DiscImage::readBytes(const Entry& file, std::uint64_t offset, std::size_t count) {
    std::string bytes;
    if (offset >= file.size) return bytes;
    const std::uint64_t end = std::min<std::uint64_t>(file.size, offset + count);
    for (std::uint64_t at = offset; at < end;) {
        const std::uint64_t sector = file.sector + at / kDiscSectorBytes;
        const auto within = static_cast<std::uint32_t>(at % kDiscSectorBytes);
        const auto sectors = static_cast<std::uint32_t>(std::min<std::uint64_t>(
            kSectorsPerRead, (end - at + within + kDiscSectorBytes - 1) / kDiscSectorBytes));
        const std::string data = readSectors(sector, sectors);
        const std::size_t wanted = static_cast<std::size_t>(
            std::min<std::uint64_t>(end - at, std::uint64_t{sectors} * kDiscSectorBytes - within));
        if (data.size() < within + wanted)
            fail(std::make_error_code(std::errc::io_error),
                 imagePath_ + ": " + file.name + " cannot be read whole");
        bytes.append(data, within, wanted);
        at += wanted;
    }
    return bytes;
}

DiscImage& DiscImages::open(const std::string& imagePath) {
    if (const auto known = images_.find(imagePath); known != images_.end()) return *known->second;
    if (const auto failed = failures_.find(imagePath); failed != failures_.end())
        throw failed->second;
    try {
        auto image = std::make_unique<DiscImage>(files_, imagePath);
        return *images_.emplace(imagePath, std::move(image)).first->second;
    } catch (const std::system_error& failure) {
        failures_.emplace(imagePath, failure);
        throw;
    }
}

}  // namespace kelmor
