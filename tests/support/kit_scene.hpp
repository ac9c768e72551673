// SPDX-License-Identifier: GPL-3.0-or-later
// A kit CD and an application folder laid out in real folders, for the tests
// and benchmarks that run the kit launcher on the real POSIX host.
#pragma once

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "kit_launcher/kit_manifest.hpp"

namespace kelmor::testing {

namespace fs = std::filesystem;

// A relative Windows path of the manifest as a relative host path.
inline fs::path hostRelative(const std::string& windowsPath) {
    std::string path = windowsPath;
    for (char& c : path)
        if (c == '\\') c = '/';
    return fs::path(path);
}

// The Windows form of a host folder: "C:" and the absolute path with "\".
inline std::string windowsPath(const fs::path& hostFolder) {
    std::string path = "C:" + fs::absolute(hostFolder).lexically_normal().string();
    for (char& c : path)
        if (c == '/') c = '\\';
    if (path.size() > 3 && path.back() == '\\') path.pop_back();
    return path;
}

inline void writeBytes(const fs::path& path, const std::string& content) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << content;
}

inline std::string readBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Every source file of the manifest below `kitFolder` (the CD's "KIT"), each
// holding content(source); names are turned by `spell` (e.g. to lower case,
// as Linux often shows a mounted CD).
inline void writeKitCd(
    const fs::path& kitFolder, const std::function<std::string(const std::string&)>& content,
    const std::function<std::string(std::string)>& spell = [](std::string name) { return name; }) {
    writeBytes(kitFolder / hostRelative(spell("KELKIT.EXE")), content("KELKIT.EXE"));
    for (const KitCopy& copy : kitCopyList())
        writeBytes(kitFolder / hostRelative(spell(copy.source)), content(copy.source));
}

// The folders the installation needs below the application folder, and the
// marker template "TEST.FUJ".
inline void makeKitSkeleton(const fs::path& app) {
    fs::create_directories(app / "vantrel");
    for (const KitCopy& copy : kitCopyList())
        fs::create_directories((app / hostRelative(copy.destination)).parent_path());
    writeBytes(app / "TEST.FUJ", "KELPLIX\r\n");
}

// A drive map that names only the given letter and detects no discs.
inline void writeDriveMap(const fs::path& configHome, char letter, const fs::path& folder) {
    writeBytes(configHome / "kelmor" / "drives.ini", "[options]\ndetect=no\n[drives]\n" +
                                                         std::string(1, letter) + "=" +
                                                         fs::absolute(folder).string() + "\n");
}

}  // namespace kelmor::testing
