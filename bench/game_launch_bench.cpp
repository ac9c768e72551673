// SPDX-License-Identifier: GPL-3.0-or-later
// Times the game launch sequence from the tick to the emulator start on the
// real POSIX host: a drive map naming 23 letters, 3 of them mapped onto real
// folders, and the process start replaced by a recorder. Then the game's 69
// CD probes alone, every letter mapped onto a folder of 2000 entries that
// holds no CD: all on one folder, and on 23 folders of their own.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "bench/recording_host.hpp"
#include "core/cd_probes.hpp"
#include "core/cd_search.hpp"
#include "game_launcher/game_launch.hpp"

namespace {

namespace fs = std::filesystem;

using kelmor::bench::Ended;
using kelmor::bench::RecordingHost;

void writeFile(const fs::path& path, const std::string& content) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << content;
}

struct Scene {
    fs::path root = fs::temp_directory_path() / ("kelmor-bench-" + std::to_string(::getpid()));
    fs::path app = root / "Kelmor app";
    fs::path config = root / "config";

    Scene() {
        fs::create_directories(app / "SAVEGAME");
        writeFile(root / "cd-f" / "KELMOR" / "KELMOR" / "VIGNET.DAT", "marker");
        writeFile(root / "cd-f" / "KELMOR" / "KELMOR" / "INTRO.DAT", std::string(4096, 'i'));
        fs::create_directories(root / "cd-e");
        fs::create_directories(root / "cd-k" / "KELMOR");
        std::string map = "[options]\ndetect=no\n[drives]\n";
        for (char letter = 'D'; letter <= 'Z'; ++letter) {
            const std::string mapped = letter == 'E'   ? "cd-e"
                                       : letter == 'F' ? "cd-f"
                                       : letter == 'K' ? "cd-k"
                                                       : std::string("missing-") + letter;
            map += std::string(1, letter) + "=" + (root / mapped).string() + "\n";
        }
        writeFile(config / "kelmor" / "drives.ini", map);
    }
    ~Scene() { fs::remove_all(root); }
};

void GameLaunchSequence(benchmark::State& state) {
    Scene scene;
    for (auto _ : state) {
        RecordingHost host(
            {.applicationFolder = scene.app.string(), .configHome = scene.config.string()});
        kelmor::GameLauncher launcher(host);
        try {
            launcher.run();
        } catch (const Ended&) {
        }
        if (host.starts != 1) state.SkipWithError("the emulator was not started");
    }
}
BENCHMARK(GameLaunchSequence)->Unit(benchmark::kMicrosecond);

constexpr int kEntriesPerFolder = 2000;

// Letters D to Z mapped onto `folders` folders of 2000 empty files each.
struct CrowdedDrives {
    fs::path root =
        fs::temp_directory_path() / ("kelmor-probe-bench-" + std::to_string(::getpid()));
    fs::path config = root / "config";

    explicit CrowdedDrives(int folders) {
        for (int folder = 0; folder < folders; ++folder) {
            const fs::path path = root / ("drive-" + std::to_string(folder));
            fs::create_directories(path);
            for (int entry = 0; entry < kEntriesPerFolder; ++entry)
                std::ofstream(path / ("ENTRY" + std::to_string(entry) + ".DAT"));
        }
        std::string map = "[options]\ndetect=no\n[drives]\n";
        for (char letter = 'D'; letter <= 'Z'; ++letter)
            map += std::string(1, letter) + "=" +
                   (root / ("drive-" + std::to_string((letter - 'D') % folders))).string() + "\n";
        writeFile(config / "kelmor" / "drives.ini", map);
    }
    ~CrowdedDrives() { fs::remove_all(root); }
};

// One run's probes: a fresh host, its drive map already read.
void GameCdProbesOnCrowdedDrives(benchmark::State& state) {
    const CrowdedDrives drives(static_cast<int>(state.range(0)));
    const std::vector<kelmor::CdProbe> probes = kelmor::gameCdProbes();
    for (auto _ : state) {
        state.PauseTiming();
        RecordingHost host(
            {.applicationFolder = drives.root.string(), .configHome = drives.config.string()});
        host.hostPath("D:\\");
        state.ResumeTiming();
        if (!kelmor::lastHitFolder(host, probes).empty()) state.SkipWithError("a CD was found");
    }
}
BENCHMARK(GameCdProbesOnCrowdedDrives)
    ->ArgName("folders")
    ->Arg(1)
    ->Arg(23)
    ->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
