#include "core/posix/disc_image.hpp"

#include <cdio/cdio.h>
#include <cdio/iso9660.h>
#include <cdio/logging.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <unordered_set>

#include "core/posix/atomic_file.hpp"
#include "core/posix/cue_sheet.hpp"
#include "core/posix/file_descriptor.hpp"
#include "core/posix/ini_text.hpp"
#include "core/posix/posix_error.hpp"
#include "core/posix/windows_path.hpp"

namespace kelmor::posix {

namespace {

// A cue sheet is a few lines; anything longer is no cue sheet.
constexpr off_t kLongestCueSheet = 1 << 20;

// Sectors read at once when a file's content is read.
constexpr unsigned kSectorsPerRead = 32;

// How long the child process may take to read every folder of an image.
constexpr int kFolderCheckMilliseconds = 20000;

// What the child process says through its pipe.
constexpr char kReadWhole = 1;
constexpr char kTooManyFolders = 2;

// libcdio reports on stderr by default; a disc that cannot be read is the
// caller's to report.
void discardLibcdioMessage(cdio_log_level_t, const char*) {}

[[noreturn]] void noDisc(const std::string& image, const std::string& why) {
    throwError(EMEDIUMTYPE, image + ": " + why);
}

// A regular file, checked before libcdio opens it, which would wait on a
// FIFO for a writer.
struct stat regularFile(const std::string& path, const std::string& what) {
    struct stat status {};
    if (stat(path.c_str(), &status) != 0) throwErrno(what);
    if (S_ISDIR(status.st_mode)) throwError(EISDIR, what);
    if (!S_ISREG(status.st_mode)) throwError(EINVAL, what + " is not a regular file");
    return status;
}

struct ListFreer {
    void operator()(CdioList_t* list) const { iso9660_filelist_free(list); }
};
using FileList = std::unique_ptr<CdioList_t, ListFreer>;

// The root folder, as find() starts from it.
DiscImage::Entry rootFolder() {
    return DiscImage::Entry{"", true, 0, 0, 0, "/"};
}

}  // namespace

class DiscImage::Reader {
public:
    virtual ~Reader() = default;
    // The entries of a folder named by its path in the image; nothing when
    // it cannot be read.
    virtual FileList readFolder(const std::string& path) = 0;
    // Reads `count` sectors of 2048 bytes from `first` on.
    virtual bool readSectors(char* buffer, lsn_t first, unsigned count) const = 0;
    virtual std::uint8_t jolietLevel() = 0;
    // The sector after the last one that the image holds.
    virtual lsn_t end() const = 0;
};

namespace {

// An ISO 9660 image of 2048-byte sectors: an ".iso", or the MODE1/2048 data
// track of a cue sheet in a file of its own.
class IsoFileReader : public DiscImage::Reader {
public:
    IsoFileReader(const std::string& file, off_t size, const std::string& image)
        : iso_(iso9660_open_ext(file.c_str(), ISO_EXTENSION_ALL)),
          end_(static_cast<lsn_t>(size / ISO_BLOCKSIZE)) {
        if (!iso_) noDisc(image, "holds no ISO 9660 file system");
    }
    ~IsoFileReader() override { iso9660_close(iso_); }
    FileList readFolder(const std::string& path) override {
        return FileList(iso9660_ifs_readdir(iso_, path.c_str()));
    }
    bool readSectors(char* buffer, lsn_t first, unsigned count) const override {
        const long wanted = static_cast<long>(count) * ISO_BLOCKSIZE;
        return iso9660_iso_seek_read(iso_, buffer, first, count) == wanted;
    }
    std::uint8_t jolietLevel() override { return iso9660_ifs_get_joliet_level(iso_); }
    lsn_t end() const override { return end_; }

private:
    iso9660_t* iso_;
    lsn_t end_;
};

// The data track of a cue sheet of 2352-byte sectors, through libcdio's cue
// driver, which reads the sectors from the file named as the sheet with
// ".bin" for ".cue" and nothing else.
class CueDriverReader : public DiscImage::Reader {
public:
    CueDriverReader(const std::string& driverSheet, const std::string& image)
        : cd_(cdio_open_cue(driverSheet.c_str())) {
        if (!cd_) noDisc(image, "libcdio cannot read the sheet");
        if (!iso9660_fs_read_superblock(cd_, ISO_EXTENSION_ALL)) {
            cdio_destroy(cd_);
            noDisc(image, "its data track holds no ISO 9660 file system");
        }
        end_ = cdio_get_disc_last_lsn(cd_);
    }
    ~CueDriverReader() override { cdio_destroy(cd_); }
    FileList readFolder(const std::string& path) override {
        return FileList(iso9660_fs_readdir(cd_, path.c_str()));
    }
    // The driver reports a sector past the end of its file as read: the
    // disc's end is checked here.
    bool readSectors(char* buffer, lsn_t first, unsigned count) const override {
        if (first < 0 || end_ < 0 || first + static_cast<lsn_t>(count) > end_) return false;
        return cdio_read_data_sectors(cd_, buffer, first, ISO_BLOCKSIZE, count) ==
               DRIVER_OP_SUCCESS;
    }
    std::uint8_t jolietLevel() override { return cdio_get_joliet_level(cd_); }
    lsn_t end() const override { return end_; }

private:
    CdIo_t* cd_;
    lsn_t end_ = -1;
};

// The file that libcdio's cue driver reads for a sheet: its name with "bin"
// for "cue" (or "BIN" for "CUE"); nothing for another name.
std::optional<std::string> cueDriverFile(const std::string& sheet) {
    if (sheet.size() < 4) return std::nullopt;
    const std::string_view extension = std::string_view(sheet).substr(sheet.size() - 3);
    const std::string stem = sheet.substr(0, sheet.size() - 3);
    if (extension == "cue") return stem + "bin";
    if (extension == "CUE") return stem + "BIN";
    return std::nullopt;
}

bool sameFile(const std::optional<std::string>& path, const struct stat& file) {
    struct stat status {};
    return path && stat(path->c_str(), &status) == 0 && status.st_dev == file.st_dev &&
           status.st_ino == file.st_ino;
}

// A sheet of one data track for libcdio's cue driver, in a private folder
// of its own beside a link to the track's file named to match: how the
// driver reads a track whose file the sheet names otherwise ("Kelmor
// (Track 1).bin"). The folder goes with this; the driver keeps the file it
// has opened. (A check child that libcdio crashes while the driver reads
// the disc's first sectors leaves its folder behind in the temporary
// folder.)
class DriverSheet {
public:
    DriverSheet(const std::string& trackFile, const std::string& mode) {
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern = std::string(tmp && tmp[0] == '/' ? tmp : "/tmp") + "/kelmor-track-XXXXXX";
        if (!mkdtemp(pattern.data())) throwErrno(pattern);
        folder_ = pattern;
        try {
            const std::unique_ptr<char, decltype(&std::free)> target(realpath(trackFile.c_str(), nullptr),
                                                                     &std::free);
            if (!target || symlink(target.get(), link().c_str()) != 0) throwErrno(trackFile);
            // The folder is this process's own: the sheet is written in place.
            const FileDescriptor file(open(sheet().c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
            if (file.get() < 0) throwErrno(sheet());
            writeAll(file.get(), "FILE \"track.bin\" BINARY\nTRACK 01 " + mode + "\nINDEX 01 00:00:00\n", sheet());
        } catch (...) {
            remove();
            throw;
        }
    }
    ~DriverSheet() { remove(); }
    DriverSheet(const DriverSheet&) = delete;
    DriverSheet& operator=(const DriverSheet&) = delete;
    std::string sheet() const { return folder_ + "/track.cue"; }

private:
    std::string link() const { return folder_ + "/track.bin"; }
    void remove() const {
        unlink(sheet().c_str());
        unlink(link().c_str());
        rmdir(folder_.c_str());
    }

    std::string folder_;
};

// A sheet's first track and the host path of its file.
std::pair<CueTrack, std::string> firstTrackOf(const std::string& sheet, off_t size) {
    if (size > kLongestCueSheet) noDisc(sheet, "too long for a cue sheet");
    auto track = firstCueTrack(readWholeFile(sheet));
    if (!track) noDisc(sheet, "the cue sheet names no track in a file");
    std::string data = cueFilePath(sheet, track->file);
    return {std::move(*track), std::move(data)};
}

std::unique_ptr<DiscImage::Reader> openCueSheet(const std::string& sheet, off_t size) {
    const auto [track, data] = firstTrackOf(sheet, size);
    const struct stat dataStatus = regularFile(data, sheet + ": its first track's file " + data);

    if (track.mode == "MODE1/2048")
        return std::make_unique<IsoFileReader>(data, dataStatus.st_size, sheet);
    if (track.mode != "MODE1/2352" && track.mode != "MODE2/2352")
        noDisc(sheet, "its first track is " + track.mode +
                          ", not a MODE1/2048, MODE1/2352 or MODE2/2352 data track");
    if (sameFile(cueDriverFile(sheet), dataStatus)) return std::make_unique<CueDriverReader>(sheet, sheet);
    const DriverSheet driverSheet(data, track.mode);
    return std::make_unique<CueDriverReader>(driverSheet.sheet(), sheet);
}

bool isCueSheet(const std::string& path) {
    return path.size() > 4 && equalIgnoringCase(std::string_view(path).substr(path.size() - 4), ".cue");
}

// An entry's name as the disc shows it: Rock Ridge and Joliet names as they
// are, ISO 9660 names without their version (";1").
std::string shownName(const iso9660_stat_t& entry, std::uint8_t jolietLevel) {
    if (entry.rr.b3_rock == yep) return entry.filename;
    std::string translated(std::char_traits<char>::length(entry.filename) + 1, '\0');
    translated.resize(static_cast<std::size_t>(
        iso9660_name_translate_ext(entry.filename, translated.data(), jolietLevel)));
    return translated;
}

std::string pathBelow(const std::string& folder, const char* name) {
    return folder == "/" ? folder + name : folder + "/" + name;
}

// The files whose content makes an image: the image, and a sheet's data
// track's file when the sheet names one.
std::vector<std::string> imageFiles(const std::string& image, off_t size) {
    if (!isCueSheet(image)) return {image};
    try {
        return {image, firstTrackOf(image, size).second};
    } catch (const std::system_error&) {
        return {image};
    }
}

}  // namespace

DiscImage::DiscImage(const std::string& imagePath, const ImageCheckVerdicts& verdicts,
                     std::size_t mostFolders)
    : imagePath_(imagePath) {
    const auto files = imageFiles(imagePath, regularFile(imagePath, imagePath).st_size);
    if (!verdicts.passed(files)) {
        checkFoldersInChild(mostFolders);
        verdicts.keepPass(files);
    }
    openReader();
}

DiscImage::DiscImage(const std::string& imagePath, Unchecked) : imagePath_(imagePath) {
    openReader();
}

void DiscImage::openReader() {
    cdio_log_set_handler(discardLibcdioMessage);
    const struct stat status = regularFile(imagePath_, imagePath_);
    if (isCueSheet(imagePath_))
        reader_ = openCueSheet(imagePath_, status.st_size);
    else
        reader_ = std::make_unique<IsoFileReader>(imagePath_, status.st_size, imagePath_);
}

// The child opens the image itself, before this process does: the two would
// share the file's position otherwise. It says with one byte through a pipe
// whether it has read every folder or stopped at the most it reads; it
// cannot outlive its time. An image that the child cannot open is left to
// this process's opening to report.
void DiscImage::checkFoldersInChild(std::size_t mostFolders) const {
    int ends[2];
    if (pipe2(ends, O_CLOEXEC) != 0) throwErrno(imagePath_);
    const pid_t child = fork();
    if (child < 0) {
        const int error = errno;
        close(ends[0]);
        close(ends[1]);
        throwError(error, imagePath_);
    }
    if (child == 0) {
        close(ends[0]);
        alarm(kFolderCheckMilliseconds / 1000 + 1);
        const int quiet = open("/dev/null", O_WRONLY | O_CLOEXEC);
        if (quiet >= 0) dup2(quiet, STDERR_FILENO);
        char done = kReadWhole;
        try {
            DiscImage image(imagePath_, Unchecked{});
            if (!image.readEveryFolder(mostFolders)) done = kTooManyFolders;
        } catch (...) {
        }
        _exit(write(ends[1], &done, 1) == 1 ? 0 : 1);
    }
    close(ends[1]);
    pollfd ended{ends[0], POLLIN, 0};
    int ready = 0;
    do ready = poll(&ended, 1, kFolderCheckMilliseconds);
    while (ready < 0 && errno == EINTR);
    char done = 0;
    const bool finished = ready > 0 && ::read(ends[0], &done, 1) == 1;
    close(ends[0]);
    if (ready == 0) kill(child, SIGKILL);
    while (waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
    }
    if (ready == 0) noDisc(imagePath_, "libcdio did not finish reading its folders");
    if (!finished) noDisc(imagePath_, "libcdio fails on its folders");
    if (done == kTooManyFolders)
        noDisc(imagePath_, "it holds more than " + std::to_string(mostFolders) +
                               " folders, more than its check reads");
}

bool DiscImage::readEveryFolder(std::size_t mostFolders) {
    std::vector<Entry> pending{rootFolder()};
    std::unordered_set<std::int32_t> seen;
    while (!pending.empty()) {
        const Entry folder = std::move(pending.back());
        pending.pop_back();
        if (!seen.insert(folder.sector).second) continue;
        if (folders_.size() >= mostFolders) return false;
        for (const Entry& entry : listingOf(folder).entries)
            if (entry.folder) pending.push_back(entry);
    }
    return true;
}

DiscImage::~DiscImage() = default;

const DiscImage::Listing& DiscImage::listingOf(const Entry& folder) {
    const auto known = folders_.find(folder.pathInImage);
    if (known != folders_.end()) return known->second;
    Listing& listing = folders_[folder.pathInImage];
    const auto list = holds(folder) ? reader_->readFolder(folder.pathInImage) : nullptr;
    if (!list) {
        listing.error = std::make_error_code(std::errc::io_error);
        return listing;
    }
    const std::uint8_t joliet = reader_->jolietLevel();
    CdioListNode_t* node = nullptr;
    _CDIO_LIST_FOREACH(node, list.get()) {
        const auto* entry = static_cast<const iso9660_stat_t*>(_cdio_list_node_data(node));
        const std::string name = shownName(*entry, joliet);
        if (name.empty() || name == "." || name == "..") continue;
        Entry shown{name, entry->type == iso9660_stat_t::_STAT_DIR, entry->size, entry->lsn,
                    entry->rr.b3_rock == yep ? static_cast<unsigned>(entry->rr.st_mode) & 07777u : 0u};
        if (shown.folder) shown.pathInImage = pathBelow(folder.pathInImage, entry->filename);
        listing.names.push_back(name);
        listing.entries.push_back(std::move(shown));
    }
    return listing;
}

std::optional<DiscImage::Entry> DiscImage::find(const std::vector<std::string>& components,
                                                std::error_code& error) {
    Entry current = rootFolder();
    for (const std::string& component : components) {
        if (!current.folder) {
            error = std::make_error_code(std::errc::not_a_directory);
            return std::nullopt;
        }
        const Listing& listing = listingOf(current);
        const auto index = listing.error ? std::nullopt : matchingName(listing.names, component);
        if (!index) {
            error = listing.error ? listing.error
                                  : std::make_error_code(std::errc::no_such_file_or_directory);
            return std::nullopt;
        }
        current = listing.entries[*index];
    }
    error.clear();
    return current;
}

bool DiscImage::holds(const Entry& entry) const {
    const std::int64_t sectors = (std::int64_t{entry.size} + ISO_BLOCKSIZE - 1) / ISO_BLOCKSIZE;
    return entry.sector >= 0 && entry.sector + sectors <= reader_->end();
}

void DiscImage::read(const Entry& file, const std::function<void(std::string_view)>& sink) const {
    if (!holds(file)) throwError(EIO, imagePath_ + ": " + file.name + " lies beyond the image's end");
    std::vector<char> buffer(std::size_t{kSectorsPerRead} * ISO_BLOCKSIZE);
    std::uint32_t left = file.size;
    lsn_t sector = file.sector;
    while (left > 0) {
        const std::uint32_t sectors =
            std::min<std::uint32_t>(kSectorsPerRead, (left + ISO_BLOCKSIZE - 1) / ISO_BLOCKSIZE);
        if (!reader_->readSectors(buffer.data(), sector, sectors))
            throwError(EIO, imagePath_ + ": " + file.name + " cannot be read");
        const std::uint32_t bytes = std::min<std::uint32_t>(left, sectors * ISO_BLOCKSIZE);
        sink(std::string_view(buffer.data(), bytes));
        left -= bytes;
        sector += static_cast<lsn_t>(sectors);
    }
}

DiscImage& DiscImages::open(const std::string& imagePath) {
    if (const auto known = images_.find(imagePath); known != images_.end()) return *known->second;
    if (const auto failed = failures_.find(imagePath); failed != failures_.end())
        throw failed->second;
    try {
        auto image = std::make_unique<DiscImage>(imagePath, verdicts_, mostFolders_);
        return *images_.emplace(imagePath, std::move(image)).first->second;
    } catch (const std::system_error& failure) {
        failures_.emplace(imagePath, failure);
        throw;
    }
}

}  // namespace kelmor::posix
