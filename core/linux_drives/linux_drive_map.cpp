// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/linux_drives/linux_drive_map.hpp"

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <vector>

#include "core/ascii_text.hpp"
#include "core/disc_image.hpp"
#include "core/image_mount.hpp"
#include "core/linux_drives/linux_folder_listings.hpp"
#include "core/posix_files/posix_atomic_file.hpp"
#include "core/posix_files/posix_config_folder.hpp"
#include "core/posix_files/posix_host_path.hpp"

namespace kelmor::linux_drives {

namespace {

int letterIndex(char letter) {
    if (letter >= 'a' && letter <= 'z') return letter - 'a';
    if (letter >= 'A' && letter <= 'Z') return letter - 'A';
    return -1;
}

// Lexical tidying of an absolute host folder: no repeated or trailing slashes.
std::string tidyFolder(std::string_view folder) {
    std::string tidy;
    for (char c : folder) {
        if (c == '/' && !tidy.empty() && tidy.back() == '/') continue;
        tidy += c;
    }
    while (tidy.size() > 1 && tidy.back() == '/') tidy.pop_back();
    return tidy;
}

// Decodes the \ooo escapes with which the mount table writes blanks, tabs,
// line ends and backslashes.
std::string decodeMountField(std::string_view field) {
    std::string decoded;
    for (std::size_t i = 0; i < field.size(); ++i) {
        const auto octal = [&](std::size_t at) {
            return at < field.size() && field[at] >= '0' && field[at] <= '7';
        };
        if (field[i] == '\\' && octal(i + 1) && octal(i + 2) && octal(i + 3)) {
            const int code =
                (field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 + (field[i + 3] - '0');
            decoded += static_cast<char>(code);
            i += 3;
        } else {
            decoded += field[i];
        }
    }
    return decoded;
}

std::vector<std::string_view> splitFields(std::string_view line) {
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    while (true) {
        start = line.find_first_not_of(" \t", start);
        if (start == std::string_view::npos) return fields;
        const std::size_t end = line.find_first_of(" \t", start);
        fields.push_back(line.substr(start, end == std::string_view::npos ? end : end - start));
        if (end == std::string_view::npos) return fields;
        start = end;
    }
}

// A file's text; empty when it cannot be read or is no regular file.
std::string textOrNothing(const std::string& file) {
    try {
        return posix_files::readWholeFile(file);
    } catch (const std::system_error&) {
        return {};
    }
}

bool detectionOff(const std::optional<std::string>& detect) {
    if (!detect) return false;
    for (std::string_view off : {"no", "false", "off", "0"}) {
        if (equalIgnoringAsciiCase(*detect, off)) return true;
    }
    return false;
}

std::string_view withoutQuotes(std::string_view text) {
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"')
        return text.substr(1, text.size() - 2);
    return text;
}

}  // namespace

std::optional<std::string> drivePathOfValue(std::string_view value, const std::string& homeFolder,
                                            std::string& why) {
    const std::string_view given = withoutQuotes(trimBlanks(value));
    if (given.empty()) {
        why = "it names no folder or image";
        return std::nullopt;
    }
    std::string path(given);
    if (given == "~" || given.substr(0, 2) == "~/") {
        if (homeFolder.empty() || homeFolder.front() != '/') {
            why = "no home folder is known for ~";
            return std::nullopt;
        }
        path = homeFolder + "/" + path.substr(1);
    }
    if (path.front() != '/') {
        why = "\"" + path + "\" is a relative path; start it with / or ~/";
        return std::nullopt;
    }
    return tidyFolder(path);
}

bool isDiscImageName(std::string_view hostPath) {
    const std::size_t slash = hostPath.rfind('/');
    return isDiscImageFileName(hostPath.substr(slash == std::string_view::npos ? 0 : slash + 1));
}

std::vector<std::string> discImagesIn(const std::string& folder, FolderListings* listings) {
    std::vector<std::string> names;
    std::error_code error;
    if (listings) {
        names = listings->names(folder, error);
    } else {
        for (const auto& entry : std::filesystem::directory_iterator(folder, error))
            names.push_back(entry.path().filename().string());
    }
    std::vector<std::string> images;
    for (const std::string& name : names) {
        const std::string path = posix_files::joinHostPath(folder, name);
        struct stat status {};
        // A sheet the Windows launchers wrote for DOSBox is theirs, no disc.
        if (isDiscImageName(path) && !isEmulatorSheetFileName(name) &&
            stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode))
            images.push_back(tidyFolder(path));
    }
    std::sort(images.begin(), images.end());
    return images;
}

std::vector<std::string> opticalDiscMounts(std::string_view mountsText) {
    std::vector<std::string> mounts;
    std::size_t start = 0;
    while (start < mountsText.size()) {
        std::size_t end = mountsText.find('\n', start);
        if (end == std::string_view::npos) end = mountsText.size();
        const auto fields = splitFields(mountsText.substr(start, end - start));
        start = end + 1;
        if (fields.size() < 3 || (fields[2] != "iso9660" && fields[2] != "udf")) continue;
        std::string point = decodeMountField(fields[1]);
        if (!point.empty() && point.front() == '/') mounts.push_back(tidyFolder(point));
    }
    return mounts;
}

void DriveMap::nameDrive(const std::string& key, const std::string& value,
                         const std::string& homeFolder) {
    const auto unusable = [&](std::string why) {
        unusable_.push_back({key, value, std::move(why)});
    };
    const int index = key.size() == 1 ? letterIndex(key[0]) : -1;
    if (index == 'C' - 'A') return unusable("C: is always the root folder /");
    if (index < 'D' - 'A') return unusable("\"" + key + "\" is no drive letter from D to Z");
    std::string why;
    auto path = drivePathOfValue(value, homeFolder, why);
    if (!path) return unusable(why);
    if (roots_[index])
        return unusable(std::string(1, static_cast<char>('A' + index)) +
                        ": is named on an earlier line");
    roots_[index] = std::move(*path);
}

void DriveMap::fillFreeLetters(const std::vector<std::string>& paths, DriveSource source) {
    int next = 'D' - 'A';
    for (const std::string& path : paths) {
        bool taken = false;
        for (const auto& root : roots_) taken = taken || (root && *root == path);
        if (taken) continue;
        while (next < 26 && roots_[next]) ++next;
        if (next >= 26) return;
        roots_[next] = path;
        sources_[next] = source;
    }
}

DriveMap DriveMap::parse(std::string_view driveMapText, std::string_view mountsText,
                         const DriveMapSurroundings& surroundings) {
    DriveMap map;
    map.file_ = IniText(driveMapText);
    for (const auto& [key, value] : map.file_.entries("drives"))
        map.nameDrive(key, value, surroundings.homeFolder);
    if (!map.detects()) return map;
    map.fillFreeLetters(opticalDiscMounts(mountsText), DriveSource::MountedDisc);
    map.fillFreeLetters(surroundings.imagesBeside, DriveSource::ImageBeside);
    return map;
}

DriveMap DriveMap::load(const std::string& driveMapFile, const std::string& mountsFile,
                        const std::string& applicationFolder, FolderListings* listings) {
    return fromText(textOrNothing(driveMapFile), mountsFile, applicationFolder, listings);
}

// What detect=no turns off is not looked at: neither the mount table nor
// the application folder is read then.
DriveMap DriveMap::fromText(std::string_view driveMapText, const std::string& mountsFile,
                            const std::string& applicationFolder, FolderListings* listings) {
    DriveMap map = parse(driveMapText, {}, {posix_files::userHomeFolder(), {}});
    if (!map.detects()) return map;
    map.fillFreeLetters(opticalDiscMounts(textOrNothing(mountsFile)), DriveSource::MountedDisc);
    if (!applicationFolder.empty())
        map.fillFreeLetters(discImagesIn(applicationFolder, listings), DriveSource::ImageBeside);
    return map;
}

std::optional<DriveSource> DriveMap::source(char letter) const {
    const int index = letterIndex(letter);
    if (index < 'D' - 'A' || !roots_[index]) return std::nullopt;
    return sources_[index];
}

std::optional<std::string> DriveMap::root(char letter) const {
    const int index = letterIndex(letter);
    if (index < 0) return std::nullopt;
    if (index == 'C' - 'A') return std::string("/");
    return roots_[index];
}

std::optional<std::string> DriveMap::image(char letter) const {
    auto path = root(letter);
    if (!path || !isDiscImageName(*path)) return std::nullopt;
    return path;
}

bool DriveMap::detects() const { return !detectionOff(option("detect")); }

std::optional<std::string> DriveMap::option(std::string_view key) const {
    const auto value = file_.value("options", key);
    if (!value) return std::nullopt;
    return std::string(trimBlanks(*value));
}

}  // namespace kelmor::linux_drives
