// CD images made from a folder for the tests and benchmarks: ISO 9660 images
// made by xorriso, their sectors framed as raw CD sectors, audio sectors and
// cue sheets.
#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

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

// The 2048-byte sectors of an ISO image as 2352-byte sectors of a data
// track: sync, address and mode, then the data (MODE2 with its subheader of
// form 1); error codes left zero.
inline std::string rawDataTrack(const std::string& iso, int mode) {
    std::string raw;
    const auto bcd = [](int value) { return static_cast<char>((value / 10) << 4 | value % 10); };
    for (std::size_t sector = 0; sector * 2048 < iso.size(); ++sector) {
        const int address = static_cast<int>(sector) + 150;
        raw += std::string("\0\xff\xff\xff\xff\xff\xff\xff\xff\xff\xff\0", 12);
        raw += {bcd(address / 4500), bcd(address / 75 % 60), bcd(address % 75), static_cast<char>(mode)};
        if (mode == 2) raw += std::string("\0\0\x08\0\0\0\x08\0", 8);
        raw += iso.substr(sector * 2048, 2048);
        raw += std::string(mode == 2 ? 280 : 288, '\0');
    }
    return raw;
}

// Sectors of an audio track: 2352 bytes each, a tone of 16-bit samples.
inline std::string audioTrack(int sectors) {
    std::string audio(static_cast<std::size_t>(sectors) * 2352, '\0');
    for (std::size_t i = 0; i < audio.size(); ++i) audio[i] = static_cast<char>(i % 97 * 3);
    return audio;
}

// "mm:ss:ff" of a sector count, as cue sheets give a track's start.
inline std::string cueTime(std::size_t sectors) {
    char text[32];
    std::snprintf(text, sizeof text, "%02zu:%02zu:%02zu", sectors / 4500, sectors / 75 % 60,
                  sectors % 75);
    return text;
}

// A rip with one file per track, named as rips name them, in `folder`:
// "<name>.cue"; "<name> (Track 1).bin", the data track of `iso` in `mode`
// (MODE1/2048, MODE1/2352 or MODE2/2352); "<name> (Track 2).bin", audio.
// Returns the sheet's path.
inline std::filesystem::path writeRipWithFilePerTrack(const std::filesystem::path& folder,
                                                      const std::string& name, const std::string& iso,
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
