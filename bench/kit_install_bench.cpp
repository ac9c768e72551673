// The kit's installation against `cp -r`. Each iteration lays out a fresh
// application folder skeleton, runs the kit launcher on the real POSIX host
// (CD detection, 218 copies of 64 KiB, marker, dosbox.conf; the emulator
// start only recorded), then copies the CD's kit folder, the same files, to
// a new folder with one `cp -r`. The iteration time is the kit's; the
// counters give the medians of both and of their ratio (kit / cp -r).
#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <stdexcept>
#include <vector>

#include "bench/recording_host.hpp"
#include "kit_launcher/kit_launch.hpp"
#include "tests/support/kit_scene.hpp"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr std::size_t kFileSize = 64 * 1024;

using kelmor::bench::Ended;
using kelmor::bench::RecordingHost;

std::string fileContent(const std::string& source) {
    std::string content(kFileSize, '\0');
    for (std::size_t i = 0; i < content.size(); ++i)
        content[i] = static_cast<char>(source[i % source.size()] + i / 251);
    return content;
}

struct Scene {
    fs::path root = fs::temp_directory_path() / ("kelmor-kit-bench-" + std::to_string(::getpid()));
    fs::path cdKit = root / "cd" / "KIT";
    fs::path config = root / "config";

    Scene() {
        kelmor::testing::writeKitCd(cdKit, fileContent);
        kelmor::testing::writeDriveMap(config, 'E', root / "cd");
    }
    ~Scene() { fs::remove_all(root); }

    fs::path freshSkeleton(const char* name) const {
        const fs::path app = root / name;
        fs::remove_all(app);
        kelmor::testing::makeKitSkeleton(app);
        return app;
    }
};

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

double installWithKit(const Scene& scene, const fs::path& app) {
    kelmor::posix::PosixHostOptions options;
    options.applicationFolder = app.string();
    options.configHome = scene.config.string();
    RecordingHost host(options);
    kelmor::KitLauncher launcher(host);
    const auto start = Clock::now();
    try {
        launcher.LaunchKit();
    } catch (const Ended&) {
    }
    const double seconds = secondsSince(start);
    if (host.starts != 1) throw std::runtime_error("the emulator was not started");
    return seconds;
}

double installWithCp(const Scene& scene, const fs::path& destination) {
    fs::remove_all(destination);
    const std::string from = scene.cdKit.string(), to = destination.string();
    char* argv[] = {const_cast<char*>("cp"), const_cast<char*>("-r"),
                    const_cast<char*>(from.c_str()), const_cast<char*>(to.c_str()), nullptr};
    const auto start = Clock::now();
    pid_t pid = 0;
    if (posix_spawnp(&pid, "cp", nullptr, nullptr, argv, environ) != 0)
        throw std::runtime_error("cp could not start");
    int status = 0;
    if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw std::runtime_error("cp failed");
    return secondsSince(start);
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

void KitInstallAgainstCp(benchmark::State& state) {
    const Scene scene;
    std::vector<double> kit, cp, ratio;
    for (auto _ : state) {
        const fs::path kitApp = scene.freshSkeleton("kit-app");
        kit.push_back(installWithKit(scene, kitApp));
        cp.push_back(installWithCp(scene, scene.root / "cp-app"));
        ratio.push_back(kit.back() / cp.back());
        state.SetIterationTime(kit.back());
    }
    state.counters["kit_ms"] = median(kit) * 1e3;
    state.counters["cp_r_ms"] = median(cp) * 1e3;
    state.counters["kit_per_cp"] = median(ratio);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * 218 * kFileSize);
}
BENCHMARK(KitInstallAgainstCp)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

BENCHMARK_MAIN();
