// SPDX-License-Identifier: GPL-3.0-or-later
// Finding a CD: probe a list of marker files on drives D to Z, every probe
// always runs, and the last hit wins.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kelmor {

class Host;

inline constexpr char kFirstCdLetter = 'D';
inline constexpr char kLastCdLetter = 'Z';

struct CdProbe {
    std::string markerFile;  // the file whose presence is a hit
    std::string folder;      // where the launcher then takes the CD to be
};

// Runs every probe in order; returns the folder of the last hit, or "" when
// none hit. A probe that fails is a miss.
std::string lastHitFolder(Host& host, const std::vector<CdProbe>& probes);

// Where a CD folder was found, as the autoexec lines need it.
struct CdLocation {
    std::string folder;   // e.g. "E:\KELMOR"
    std::string root;     // its first three characters, "E:\"
    std::string letter;   // its first character, "E"
    std::string image{};  // the disc image the emulator mounts as that letter, if any
    // What the emulator is handed for the image (prepareImageMount()): a
    // sheet it can mount in the image's place, or empty for the image
    // itself; and what the lines before the mount remark on.
    std::string mounted{};
    std::vector<std::string> remarks{};
};

CdLocation locateCd(const Host& host, const std::string& folder);

// A message that no CD was found: `message`, and on its own line the
// host's advice, where it has any (Host::noCdAdvice()).
std::string noCdMessage(const Host& host, std::string_view message);

// The emulator's mount of a CD that is a disc image: a remark line (`rem`,
// remarkLine()) for each of the CD's remarks, then its image mount line
// (imageMountLine(): `imgmount`, IMGMOUNT in the launcher's letter case, the
// letter, what the emulator is handed for the image as a MOUNT line takes a
// folder, mountFolderArgument(), and "-t iso"); the lines separated by CR LF.
std::string imageMountLines(std::string_view imgmount, std::string_view rem, const CdLocation& cd);

}  // namespace kelmor
