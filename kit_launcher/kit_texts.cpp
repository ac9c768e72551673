// SPDX-License-Identifier: GPL-3.0-or-later
#include "kit_launcher/kit_texts.hpp"

#include <initializer_list>

#include "core/dosbox_config.hpp"
#include "core/kit_emulator.hpp"
#include "core/text.hpp"

namespace kelmor {
namespace {

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

std::string kitAutoexecLines(const CdLocation& cd, const std::string& applicationFolder,
                             const std::string& languageCode) {
    return std::string(kCrLf) +
           joinLines({"cls",
                      cd.image.empty() ? "mount " + cd.letter + " " + cd.root + " -t cdrom -ioctl"
                                       : imageMountLines("imgmount", "rem", cd),
                      applicationFolderMount(applicationFolder), "B:",
                      "KELKIT.EXE ver=" + languageCode, "exit"});
}

}  // namespace kelmor
