// SPDX-License-Identifier: GPL-3.0-or-later
// Drives that hold a disc image against the same CD in a folder, on the real
// POSIX host, side by side in one run:
//  - the game's 69 CD probes, one drive holding the game CD (nested layout)
//    and no other drive mapped: a fresh host each time (a launch; nothing of
//    an image is kept from one to the next), the drive map already read, the
//    image opened by the first probe; each iteration times the same probes
//    on the CD in a folder too, and the counter per_folder is the median
//    ratio of the two; also with 2000 folders side by side in the CD's root,
//    beside KELMOR, so that the probes read a folder of many sectors;
//  - the kit's installation of its 218 files of 64 KiB (CD detection,
//    copies, marker, dosbox.conf; the emulator start only recorded) into a
//    fresh application folder.
// Each on a folder, an .iso, a cue sheet with a MODE1/2048 data track, one
// with a MODE1/2352 data track and a rip with one file per track
// (MODE1/2352).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <stdexcept>

#include "bench/recording_host.hpp"
#include "core/cd_probes.hpp"
#include "core/cd_search.hpp"
#include "game_launcher/game_launch.hpp"
#include "kit_launcher/kit_launch.hpp"
#include "tests/support/disc_images.hpp"
#include "tests/support/kit_scene.hpp"

namespace {

namespace fs = std::filesystem;
using kelmor::testing::writeBytes;

enum class Disc { Folder, Iso, Cue2048, Cue2352, FilePerTrack };

using kelmor::bench::Ended;
using kelmor::bench::RecordingHost;

// The CD folder `cd` as the disc `disc` below `images`: the path the drive
// map names for it.
fs::path discOf(const fs::path& cd, const fs::path& images, Disc disc) {
    if (disc == Disc::Folder) return cd;
    const fs::path iso = images / "disc.iso";
    kelmor::testing::makeIso(cd, iso);
    if (disc == Disc::Iso) return iso;
    if (disc == Disc::FilePerTrack)
        return kelmor::testing::writeRipWithFilePerTrack(
            images, "Kelmor (EU)", kelmor::testing::fileBytes(iso), "MODE1/2352");
    std::string data = kelmor::testing::fileBytes(iso);
    const char* mode = "MODE1/2048";
    if (disc == Disc::Cue2352) {
        data = kelmor::testing::rawDataTrack(data, 1);
        mode = "MODE1/2352";
    }
    writeBytes(images / "disc.bin", data + kelmor::testing::audioTrack(750));
    const std::size_t sectors = data.size() / (disc == Disc::Cue2352 ? 2352 : 2048);
    writeBytes(images / "disc.cue", std::string("FILE \"disc.bin\" BINARY\n  TRACK 01 ") + mode +
                                        "\n    INDEX 01 00:00:00\n  TRACK 02 AUDIO\n    INDEX 01 " +
                                        kelmor::testing::cueTime(sectors) + "\n");
    return images / "disc.cue";
}

struct Scene {
    fs::path root =
        fs::temp_directory_path() / ("kelmor-image-bench-" + std::to_string(::getpid()));
    fs::path config = root / "config";
    Scene() { fs::create_directories(root); }
    ~Scene() { fs::remove_all(root); }
    RecordingHost host(const fs::path& app, const fs::path& configHome) const {
        return RecordingHost(
            {.applicationFolder = app.string(), .configHome = configHome.string()});
    }
};

using Clock = std::chrono::steady_clock;

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// The game's 69 probes on a fresh host whose drive map is in `configHome`:
// their time in seconds.
double probeSeconds(const Scene& scene, const fs::path& configHome,
                    const std::vector<kelmor::CdProbe>& probes) {
    RecordingHost host = scene.host(scene.root, configHome);
    host.hostPath("D:\\");
    const auto start = Clock::now();
    if (kelmor::lastHitFolder(host, probes) != "E:\\KELMOR\\KELMOR")
        throw std::runtime_error("the CD was not found");
    return std::chrono::duration<double>(Clock::now() - start).count();
}

constexpr int kCrowdedRoot = 2000;

void GameCdProbes(benchmark::State& state, Disc disc, int foldersBeside) {
    const Scene scene;
    for (int folder = 0; folder < foldersBeside; ++folder)
        fs::create_directories(scene.root / "cd" /
                               ("DIR" + std::to_string(10000 + folder).substr(1)));
    writeBytes(scene.root / "cd" / "KELMOR" / "KELMOR" / "VIGNET.DAT", "marker");
    writeBytes(scene.root / "cd" / "KELMOR" / "KELMOR" / "INTRO.DAT", std::string(4096, 'i'));
    writeBytes(scene.root / "cd" / "KELMOR" / "KELMOR" / "KELMOR.EXE", std::string(300000, 'k'));
    const fs::path folderConfig = scene.root / "folder-config";
    kelmor::testing::writeDriveMap(scene.config, 'E', discOf(scene.root / "cd", scene.root, disc));
    kelmor::testing::writeDriveMap(folderConfig, 'E', scene.root / "cd");
    const std::vector<kelmor::CdProbe> probes = kelmor::gameCdProbes();
    std::vector<double> ratio;
    for (auto _ : state) {
        const double seconds = probeSeconds(scene, scene.config, probes);
        ratio.push_back(seconds / probeSeconds(scene, folderConfig, probes));
        state.SetIterationTime(seconds);
    }
    state.counters["per_folder"] = median(ratio);
}
void probesSideBySide(benchmark::internal::Benchmark* bench) {
    bench->UseManualTime()->Unit(benchmark::kMicrosecond);
    bench->ComputeStatistics(
        "min", [](const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); });
    bench->ComputeStatistics(
        "max", [](const std::vector<double>& v) { return *std::max_element(v.begin(), v.end()); });
}
BENCHMARK_CAPTURE(GameCdProbes, folder, Disc::Folder, 0)->Apply(probesSideBySide);
BENCHMARK_CAPTURE(GameCdProbes, iso, Disc::Iso, 0)->Apply(probesSideBySide);
BENCHMARK_CAPTURE(GameCdProbes, cue_mode1_2048, Disc::Cue2048, 0)->Apply(probesSideBySide);
BENCHMARK_CAPTURE(GameCdProbes, cue_mode1_2352, Disc::Cue2352, 0)->Apply(probesSideBySide);
BENCHMARK_CAPTURE(GameCdProbes, cue_file_per_track, Disc::FilePerTrack, 0)->Apply(probesSideBySide);
BENCHMARK_CAPTURE(GameCdProbes, iso_2000_folders_in_root, Disc::Iso, kCrowdedRoot)
    ->Apply(probesSideBySide);
BENCHMARK_CAPTURE(GameCdProbes, cue_file_per_track_2000_folders_in_root, Disc::FilePerTrack,
                  kCrowdedRoot)
    ->Apply(probesSideBySide);

std::string kitFileContent(const std::string& source) {
    std::string content(64 * 1024, '\0');
    for (std::size_t i = 0; i < content.size(); ++i)
        content[i] = static_cast<char>(source[i % source.size()] + i / 251);
    return content;
}

void KitInstall(benchmark::State& state, Disc disc) {
    const Scene scene;
    kelmor::testing::writeKitCd(scene.root / "cd" / "KIT", kitFileContent);
    kelmor::testing::writeDriveMap(scene.config, 'E', discOf(scene.root / "cd", scene.root, disc));
    const fs::path app = scene.root / "app";
    for (auto _ : state) {
        fs::remove_all(app);
        kelmor::testing::makeKitSkeleton(app);
        RecordingHost host = scene.host(app, scene.config);
        kelmor::KitLauncher launcher(host);
        const auto start = std::chrono::steady_clock::now();
        try {
            launcher.LaunchKit();
        } catch (const Ended&) {
        }
        state.SetIterationTime(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        if (host.starts != 1 || fs::file_size(app / "PCMAP" / "VIGNET.DAT") != 64 * 1024)
            state.SkipWithError("the kit was not installed");
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * 218 * 64 * 1024);
}
BENCHMARK_CAPTURE(KitInstall, folder, Disc::Folder)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(KitInstall, iso, Disc::Iso)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(KitInstall, cue_mode1_2048, Disc::Cue2048)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(KitInstall, cue_mode1_2352, Disc::Cue2352)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
