// SPDX-License-Identifier: GPL-3.0-or-later
// CD images made from a folder for the tests and benchmarks: ISO 9660 images
// made by xorriso, and rips of them with one file per track (the framing of
// their sectors is in iso_images.hpp).
#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

#include "tests/support/iso_images.hpp"

namespace kelmor::testing {

// Which names an image carries besides the ISO 9660 ones.
enum class DiscNames { RockRidgeAndJoliet, RockRidgeOnly, JolietOnly, Iso9660Only };

// Makes an ISO 9660 image of a folder with xorriso, without padding: its last
// sectors are those of its files.
inline void makeIso(const std::filesystem::path& folder, const std::filesystem::path& iso,
                    DiscNames names = DiscNames::RockRidgeAndJoliet) {
    std::vector<std::string> arguments{"xorriso", "-as", "mkisofs", "-quiet", "-no-pad"};
    if (names == DiscNames::JolietOnly || names == DiscNames::Iso9660Only)
        arguments.emplace_back("--norock");
    if (names == DiscNames::RockRidgeAndJoliet || names == DiscNames::JolietOnly)
        arguments.emplace_back("-J");
    arguments.insert(arguments.end(), {"-o", iso.string(), folder.string()});
    std::filesystem::create_directories(iso.parent_path());
    const pid_t child = fork();
    if (child == 0) {
        std::vector<char*> argv;
        for (std::string& argument : arguments) argv.push_back(argument.data());
        argv.push_back(nullptr);
        freopen("/dev/null", "w", stdout);
        freopen("/dev/null", "w", stderr);
        execvp("xorriso", argv.data());
        _exit(127);
    }
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status) ||
        WEXITSTATUS(status) != 0)
        throw std::runtime_error("xorriso could not make " + iso.string());
}

inline std::string fileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A rip with one file per track, named as rips name them, in `folder`:
// "<name>.cue"; "<name> (Track 1).bin", the data track of `iso` in `mode`
// (MODE1/2048, MODE1/2352 or MODE2/2352); "<name> (Track 2).bin", audio.
// Returns the sheet's path.
inline std::filesystem::path writeRipWithFilePerTrack(const std::filesystem::path& folder,
                                                      const std::string& name,
                                                      const std::string& iso,
                                                      const std::string& mode) {
    const auto write = [&](const std::string& file, const std::string& bytes) {
        std::filesystem::create_directories(folder);
        std::ofstream(folder / file, std::ios::binary) << bytes;
        return folder / file;
    };
    write(name + " (Track 1).bin", mode == "MODE1/2048" ? iso : rawDataTrack(iso, mode[4] - '0'));
    write(name + " (Track 2).bin", audioTrack(300));
    return write(name + ".cue", "FILE \"" + name + " (Track 1).bin\" BINARY\r\n  TRACK 01 " + mode +
                                    "\r\n    INDEX 01 00:00:00\r\nFILE \"" + name +
                                    " (Track 2).bin\" BINARY\r\n  TRACK 02 AUDIO\r\n"
                                    "    INDEX 00 00:00:00\r\n    INDEX 01 00:02:00\r\n");
}

}  // namespace kelmor::testing
