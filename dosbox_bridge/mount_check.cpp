// SPDX-License-Identifier: GPL-3.0-or-later
#include "dosbox_bridge/mount_check.hpp"

#include <algorithm>

#include "core/ascii_text.hpp"
#include "core/text.hpp"

namespace kelmor::bridge {
namespace {

bool asked(const std::vector<AskedMount>& mounts, char drive) {
    return std::any_of(mounts.begin(), mounts.end(),
                       [&](const AskedMount& mount) { return mount.drive == drive; });
}

// Each asked drive once, in the order first asked.
std::vector<char> askedDrives(const std::vector<AskedMount>& mounts) {
    std::vector<char> drives;
    for (const AskedMount& mount : mounts)
        if (std::find(drives.begin(), drives.end(), mount.drive) == drives.end())
            drives.push_back(mount.drive);
    return drives;
}

}  // namespace

std::optional<char> reportDrive(const std::vector<AskedMount>& mounts) {
    for (char drive = 'X'; drive >= 'D'; --drive)
        if (!asked(mounts, drive)) return drive;
    return std::nullopt;
}

std::string withMountCheck(const MountTranslation& translation, char drive,
                           std::string_view folderArgument) {
    if (translation.mounts.empty()) return translation.text;
    const std::string crlf(kCrLf);
    const std::string letter(1, drive);
    const std::string report = letter + ":\\" + std::string(kRefusedMountsFile);
    std::string check = "@MOUNT " + letter + " " + std::string(folderArgument) + " >NUL" + crlf;
    for (const char asked : askedDrives(translation.mounts)) {
        const std::string name(1, asked);
        check += "@IF NOT EXIST " + name + ":\\NUL ECHO " + name + ">>" + report + crlf;
    }
    check += "@MOUNT -u " + letter + " >NUL" + crlf;

    std::string text = translation.text;
    std::size_t at = translation.afterLastMount;
    if (at > 0 && text[at - 1] != '\n') {
        text.insert(at, crlf);
        at += crlf.size();
    }
    text.insert(at, check);
    return text;
}

std::vector<AskedMount> refusedMounts(std::string_view report,
                                      const std::vector<AskedMount>& mounts) {
    std::vector<char> named;
    for (const TextLine& line : textLines(report)) {
        const std::string_view letter = trimBlanks(line.content);
        if (letter.size() == 1) named.push_back(upperAscii(letter[0]));
    }
    std::vector<AskedMount> refused;
    for (const char drive : askedDrives(mounts)) {
        if (std::find(named.begin(), named.end(), drive) == named.end()) continue;
        const auto last =
            std::find_if(mounts.rbegin(), mounts.rend(),
                         [&](const AskedMount& mount) { return mount.drive == drive; });
        refused.push_back(*last);
    }
    return refused;
}

std::string describeMounts(const std::vector<AskedMount>& mounts) {
    std::string text;
    for (std::size_t i = 0; i < mounts.size(); ++i) {
        if (i > 0) text += i + 1 == mounts.size() ? " and " : ", ";
        text += std::string(1, mounts[i].drive) + ": (the " +
                (mounts[i].image ? "image " : "folder ") + mounts[i].source + ")";
    }
    return text;
}

}  // namespace kelmor::bridge
