// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/linux_emulators/linux_emulator_identity.hpp"

#include <sys/stat.h>

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <optional>
#include <string_view>
#include <system_error>
#include <vector>

#include "core/posix_files/posix_atomic_file.hpp"
#include "core/posix_files/posix_config_folder.hpp"
#include "core/posix_files/posix_host_path.hpp"

namespace kelmor::linux_emulators {

namespace {

// The cache's first line; the entries follow, newest first, one a line:
// size, inode, seconds, nanoseconds, dialect, name and real path, each but
// the path (the last) ended by a tab.
constexpr std::string_view kHeader = "# Kelmor: what each emulator file said it is\n";
constexpr std::size_t kEntriesKept = 32;

struct FileKey {
    std::uint64_t size = 0;
    std::uint64_t inode = 0;
    std::int64_t seconds = 0;
    std::int64_t nanoseconds = 0;
    bool operator==(const FileKey&) const = default;
};

struct Entry {
    FileKey key;
    EmulatorIdentity identity;
    std::string path;
};

constexpr EmulatorDialect kDialects[] = {EmulatorDialect::Unknown, EmulatorDialect::Dosbox074,
                                         EmulatorDialect::Staging, EmulatorDialect::Staging083,
                                         EmulatorDialect::DosboxX};

std::optional<FileKey> keyOf(const std::string& path) {
    struct stat status {};
    if (stat(path.c_str(), &status) != 0) return std::nullopt;
    return FileKey{static_cast<std::uint64_t>(status.st_size),
                   static_cast<std::uint64_t>(status.st_ino), status.st_mtim.tv_sec,
                   status.st_mtim.tv_nsec};
}

template <class Number>
bool readNumber(std::string_view text, Number& number) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    return error == std::errc() && end == text.data() + text.size();
}

std::optional<EmulatorDialect> dialectOf(std::string_view tag) {
    for (EmulatorDialect dialect : kDialects)
        if (dialectTag(dialect) == tag) return dialect;
    return std::nullopt;
}

// An entry from its line; nothing for a line that holds none.
std::optional<Entry> parseEntry(std::string_view line) {
    std::string_view fields[6];
    for (std::string_view& field : fields) {
        const std::size_t tab = line.find('\t');
        if (tab == std::string_view::npos) return std::nullopt;
        field = line.substr(0, tab);
        line.remove_prefix(tab + 1);
    }
    Entry entry;
    const auto dialect = dialectOf(fields[4]);
    if (!readNumber(fields[0], entry.key.size) || !readNumber(fields[1], entry.key.inode) ||
        !readNumber(fields[2], entry.key.seconds) ||
        !readNumber(fields[3], entry.key.nanoseconds) || !dialect || line.empty())
        return std::nullopt;
    entry.identity = {*dialect, std::string(fields[5])};
    entry.path = line;
    return entry;
}

std::vector<Entry> readEntries(const std::string& cacheFile) {
    std::string text;
    try {
        text = posix_files::readWholeFile(cacheFile);
    } catch (const std::system_error&) {
        return {};
    }
    std::vector<Entry> entries;
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        if (auto entry = parseEntry(std::string_view(text).substr(start, end - start)))
            entries.push_back(std::move(*entry));
        start = end + 1;
    }
    return entries;
}

std::string lineOf(const Entry& entry) {
    return std::to_string(entry.key.size) + "\t" + std::to_string(entry.key.inode) + "\t" +
           std::to_string(entry.key.seconds) + "\t" + std::to_string(entry.key.nanoseconds) + "\t" +
           std::string(dialectTag(entry.identity.dialect)) + "\t" + entry.identity.name + "\t" +
           entry.path + "\n";
}

bool fitsOnALine(std::string_view text, std::string_view alsoRefused = {}) {
    return text.find_first_of("\r\n") == std::string_view::npos &&
           (alsoRefused.empty() || text.find_first_of(alsoRefused) == std::string_view::npos);
}

// Keeps `entry` first, in place of an older one of its file.
void remember(const std::string& cacheFile, Entry entry) {
    std::vector<Entry> entries = readEntries(cacheFile);
    std::erase_if(entries, [&](const Entry& old) { return old.path == entry.path; });
    entries.insert(entries.begin(), std::move(entry));
    if (entries.size() > kEntriesKept) entries.resize(kEntriesKept);
    std::string text(kHeader);
    for (const Entry& kept : entries) text += lineOf(kept);
    try {
        posix_files::createFolders(cacheFile.substr(0, cacheFile.rfind('/')), 0700);
        posix_files::writeFileAtomically(cacheFile, text);
    } catch (const std::system_error&) {
        // The next start probes again.
    }
}

}  // namespace

std::string emulatorCacheFile() {
    return posix_files::joinHostPath(posix_files::userCacheHome(), "kelmor/emulators");
}

EmulatorIdentity identifyEmulator(const EmulatorFile& file, const std::string& cacheFile,
                                  std::chrono::milliseconds probeLimit) {
    const auto key = keyOf(file.realPath);
    const bool keepable = key && fitsOnALine(file.realPath);
    if (keepable)
        for (const Entry& entry : readEntries(cacheFile))
            if (entry.path == file.realPath && entry.key == *key) return entry.identity;
    auto identity = probeEmulator(file.realPath, file.path, probeLimit);
    if (!identity) return {};
    if (keepable && fitsOnALine(identity->name, "\t"))
        remember(cacheFile, {*key, *identity, file.realPath});
    return *identity;
}

}  // namespace kelmor::linux_emulators
