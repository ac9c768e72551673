#include "kit_launcher/kit_texts.hpp"

#include <initializer_list>

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

std::vector<CdProbe> kitCdProbes() {
    std::vector<CdProbe> probes;
    for (char letter = kFirstCdLetter; letter <= kLastCdLetter; ++letter) {
        const std::string folder = std::string{letter, ':'} + "\\KIT";
        probes.push_back({folder + "\\KELKIT.EXE", folder});
    }
    return probes;
}

std::string vendorIniText(const std::string& applicationFolder) {
    return joinLines({"[OSD]", "Directory=" + applicationFolder + "\\vantrel\\osd", "Valid=TRUE",
                      "", "[INSTALLED PRODUCTS]", "KELKIT", "", "[KELKIT]", "SrcDataPath=\\",
                      "Directory=" + applicationFolder + "\\"}) +
           std::string(kCrLf);
}

std::string kitAutoexecLines(const CdLocation& cd, const std::string& applicationFolder,
                             const std::string& languageCode) {
    return std::string(kCrLf) +
           joinLines({"cls", "mount " + cd.letter + " " + cd.root + " -t cdrom -ioctl",
                      "mount B \"" + applicationFolder + "\"",
                      "B:", "KELKIT.EXE ver=" + languageCode, "exit"});
}

}  // namespace kelmor
