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
// The kit CD's program, below the kit's folder on the CD, by which it is found.
inline constexpr std::string_view kKitProgramSuffix = "\\KELKIT.EXE";

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

// The messages of an installation that could not finish, each with what to
// do and, on a line of its own, the error's report: the CD (or its image)
// cannot be read, the disk that holds the application folder is full, or
// another file cannot be written.
std::string unreadableCdMessage(const std::string& report);
std::string fullDiskMessage(const std::string& applicationFolder, const std::string& report);
std::string unwrittenFileMessage(const std::string& report);

// CR LF, then the six lines that mount the CD and the application folder and
// start the kit (with the remarks of an image's mount before it), separated
// by CR LF; no line end after "exit".
std::string kitAutoexecLines(const CdLocation& cd, const std::string& applicationFolder,
                             const std::string& languageCode);

}  // namespace kelmor
