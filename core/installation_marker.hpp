// SPDX-License-Identifier: GPL-3.0-or-later
// The installation marker file "\THEST.FUJ": the kit counts as installed when
// the file consists of exactly one line reading "KELPLIX".
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kelmor {

class Host;

inline constexpr std::string_view kMarkerFileSuffix = "\\THEST.FUJ";

// Splits 8-bit text into lines; a line ends at CR or CR LF, and the end is
// not part of the line. A lone LF is an ordinary character.
std::vector<std::string> splitTextLines(std::string_view content);

// CR LF + line, for every line of the application folder's marker file;
// empty when the file is missing or cannot be read.
std::string readMarkerText(Host& host);

// True when the marker text is exactly CR LF + "KELPLIX".
bool kitIsInstalled(Host& host);

}  // namespace kelmor
