// SPDX-License-Identifier: GPL-3.0-or-later
#include "kit_launcher/kit_texts.hpp"

#include <initializer_list>

#include "core/dosbox_config.hpp"
#include "core/kit_emulator.hpp"
#include "core/text.hpp"

namespace kelmor {
namespace {

constexpr std::string_view kUnfinishedInstall = "The kit could not be installed: ";
constexpr std::string_view kStartAgain = "then start the kit again.";

std::string joinLines(std::initializer_list<std::string> lines) {
    std::string text;
    for (const std::string& line : lines) {
        if (&line != lines.begin()) text.append(kCrLf);
        text.append(line);
    }
    return text;
}

}  // namespace

std::string vendorIniText(const std::string& applicationFolder) {
    return joinLines({"[OSD]", "Directory=" + applicationFolder + "\\vantrel\\osd", "Valid=TRUE",
                      "", "[INSTALLED PRODUCTS]", "KELKIT", "", "[KELKIT]", "SrcDataPath=\\",
                      "Directory=" + applicationFolder + "\\"}) +
           std::string(kCrLf);
}

std::string unreadableCdMessage(const std::string& report) {
    return std::string(kUnfinishedInstall) +
           "its CD cannot be read.\nClean the CD, or give the whole of its image, and keep it in "
           "its drive; " +
           std::string(kStartAgain) + "\n" + report;
}

std::string fullDiskMessage(const std::string& applicationFolder, const std::string& report) {
    return std::string(kUnfinishedInstall) + "the disk that holds " + applicationFolder +
           " is full.\nFree space on it, " + std::string(kStartAgain) + "\n" + report;
}

std::string unwrittenFileMessage(const std::string& report) {
    return std::string(kUnfinishedInstall) + report + ".\nPut that right, " +
           std::string(kStartAgain);
}

std::string kitAutoexecLines(const CdLocation& cd, const std::string& applicationFolder,
                             const std::string& languageCode) {
    return std::string(kCrLf) +
           joinLines({"cls",
                      cd.image.empty() ? "mount " + cd.letter + " " + cd.root + " -t cdrom -ioctl"
                                       : imageMountLines("imgmount", "rem", cd),
                      applicationFolderMount(applicationFolder),
                      "B:", "KELKIT.EXE ver=" + languageCode, "exit"});
}

}  // namespace kelmor
