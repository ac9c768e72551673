// SPDX-License-Identifier: GPL-3.0-or-later
// What the kit launcher looks for and writes: the language files, the
// vendor ini file and the kit's autoexec lines.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "core/cd_search.hpp"

namespace kelmor {

inline constexpr std::string_view kNoKitCdMessage =
    "Please insert Kelmor Plix CD-ROM and restart application.";
inline constexpr std::string_view kKitMessageTitle = "Kelmor";

inline constexpr std::string_view kVendorIniSuffix = "\\vantrel\\vtr.ini";
inline constexpr std::string_view kMarkerTemplateSuffix = "\\TEST.FUJ";
inline constexpr std::string_view kKitMapEditorSuffix = "\\MAPPER.EXE";
inline constexpr std::string_view kMapperArgument = "mapper";

// A language file of the installed kit and the code the kit is started with.
struct LanguageFile {
    std::string_view suffix;  // below the application folder
    std::string_view code;
};

// Probed in this order, all of them; the last one present gives the code.
inline constexpr std::array<LanguageFile, 3> kLanguageFiles{{
    {"\\DATA\\AL.BIN", "al"},
    {"\\DATA\\FR.BIN", "fr"},
    {"\\DATA\\USA.BIN", "usa"},
}};

// The ten lines of "\vantrel\vtr.ini", each ending in CR LF.
std::string vendorIniText(const std::string& applicationFolder);

// CR LF, then the six lines that mount the CD and the application folder and
// start the kit (with the remarks of an image's mount before it), separated
// by CR LF; no line end after "exit".
std::string kitAutoexecLines(const CdLocation& cd, const std::string& applicationFolder,
                             const std::string& languageCode);

}  // namespace kelmor
