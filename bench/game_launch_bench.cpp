// Times the game launch sequence from the tick to the emulator start on the
// real POSIX host: a drive map naming 23 letters, 3 of them mapped onto real
// folders, and the process start replaced by a recorder.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "core/posix/posix_host.hpp"
#include "game_launcher/game_launch.hpp"

namespace {

namespace fs = std::filesystem;

struct Ended {};

class RecordingHost : public kelmor::posix::PosixHost {
public:
    using PosixHost::PosixHost;
    int starts = 0;
    void startProgram(const std::string&, const std::vector<std::string>&) override { ++starts; }
    [[noreturn]] void endProcess(int) override { throw Ended{}; }
};

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
        RecordingHost host({.applicationFolder = scene.app.string(),
                            .configHome = scene.config.string()});
        kelmor::GameLauncher launcher(host);
        try {
            launcher.run();
        } catch (const Ended&) {
        }
        if (host.starts != 1) state.SkipWithError("the emulator was not started");
    }
}
BENCHMARK(GameLaunchSequence)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
