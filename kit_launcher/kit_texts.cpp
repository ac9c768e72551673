// SPDX-License-Identifier: GPL-3.0-or-later
#include "kit_launcher/kit_texts.hpp"

#include <initializer_list>

#include "core/dosbox_config.hpp"
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

namespace {

// The application folder as DOS drive B:, from which the kit's programs run.
std::string applicationFolderMount(const std::string& applicationFolder) {
    return "mount B " + mountFolderArgument(applicationFolder);
}

}  // namespace

std::string kitAutoexecLines(const CdLocation& cd, const std::string& applicationFolder,
                             const std::string& languageCode) {
    return std::string(kCrLf) +
           joinLines({"cls",
                      cd.image.empty() ? "mount " + cd.letter + " " + cd.root + " -t cdrom -ioctl"
                                       : imageMountLine("imgmount", cd),
                      applicationFolderMount(applicationFolder), "B:",
                      "KELKIT.EXE ver=" + languageCode, "exit"});
}

std::string mapEditorAutoexecLines(const std::string& applicationFolder,
                                   const std::string& mapEditor) {
    return std::string(kCrLf) +
           joinLines({"cls", applicationFolderMount(applicationFolder), "B:", mapEditor, "exit"});
}

}  // namespace kelmor
