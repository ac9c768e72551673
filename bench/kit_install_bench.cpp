// SPDX-License-Identifier: GPL-3.0-or-later
// The kit's installation against `cp -r`. Each iteration lays out a fresh
// application folder skeleton, runs the kit launcher on the real POSIX host
// (CD detection, 218 copies of 64 KiB, flushed to disk before the marker,
// marker, dosbox.conf; the emulator start only recorded), then copies the
// CD's kit folder, the same files, to a new folder with one `cp -r`, alone
// or followed by an fsync of each copied file, as a careful copy makes its
// files stay. With unrelated data waiting to be written (another program's
// download, written but not flushed), both start with that much of it in the
// page cache. The iteration time is the kit's; the counters give the medians
// of both and of their ratio (kit / cp -r), and the repetitions' aggregates
// their min and max too.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
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

// How the comparison copies: `cp -r` alone, or with an fsync of each copied file.
enum class Comparison { Cp, CpFsyncEach };

struct Variant {
    Comparison comparison;
    std::uint64_t unrelatedDirtyBytes;  // another program's data waiting to be written
};

void fsyncFile(const fs::path& file) {
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    const bool flushed = fd >= 0 && ::fsync(fd) == 0;
    if (fd >= 0) ::close(fd);
    if (!flushed) throw std::runtime_error("cannot flush " + file.string());
}

// Data of another program on the same file system, written anew into one
// file before each timed part and never flushed: the page cache holds
// `bytes` of it waiting for the disk, as during a download. Being fresh, it
// is younger than the 30 s after which the kernel would write it on its own.
class UnrelatedWrites {
public:
    UnrelatedWrites(const fs::path& file, std::uint64_t bytes) : file_(file), bytes_(bytes) {}
    void makeDirty() const {
        if (bytes_ == 0) return;
        fs::remove(file_);  // its unwritten pages go with it
        const int fd = ::open(file_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        const std::string chunk(1 << 20, 'd');
        bool written = fd >= 0;
        for (std::uint64_t at = 0; written && at < bytes_; at += chunk.size())
            written = ::pwrite(fd, chunk.data(), chunk.size(), static_cast<off_t>(at)) ==
                      static_cast<ssize_t>(chunk.size());
        if (fd >= 0) ::close(fd);
        if (!written) throw std::runtime_error("cannot write " + file_.string());
    }

private:
    fs::path file_;
    std::uint64_t bytes_;
};

double installWithCp(const Scene& scene, const fs::path& destination, Comparison comparison) {
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
    if (comparison == Comparison::CpFsyncEach)
        for (const auto& entry : fs::recursive_directory_iterator(destination))
            if (entry.is_regular_file()) fsyncFile(entry.path());
    return secondsSince(start);
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

void KitInstallAgainstCp(benchmark::State& state, Variant variant) {
    const Scene scene;
    const UnrelatedWrites download(scene.root / "download.part", variant.unrelatedDirtyBytes);
    std::vector<double> kit, cp, ratio;
    for (auto _ : state) {
        const fs::path kitApp = scene.freshSkeleton("kit-app");
        download.makeDirty();
        kit.push_back(installWithKit(scene, kitApp));
        download.makeDirty();
        cp.push_back(installWithCp(scene, scene.root / "cp-app", variant.comparison));
        ratio.push_back(kit.back() / cp.back());
        state.SetIterationTime(kit.back());
    }
    state.counters["kit_ms"] = median(kit) * 1e3;
    state.counters["cp_r_ms"] = median(cp) * 1e3;
    state.counters["kit_per_cp"] = median(ratio);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * 218 * kFileSize);
}

double smallest(const std::vector<double>& values) {
    return *std::min_element(values.begin(), values.end());
}
double largest(const std::vector<double>& values) {
    return *std::max_element(values.begin(), values.end());
}

void sideBySide(benchmark::internal::Benchmark* bench) {
    bench->UseManualTime()->Unit(benchmark::kMillisecond);
    bench->ComputeStatistics("min", smallest)->ComputeStatistics("max", largest);
}

constexpr std::uint64_t kGiB = std::uint64_t{1} << 30;
BENCHMARK_CAPTURE(KitInstallAgainstCp, cp_r, Variant{Comparison::Cp, 0})
    ->Apply(sideBySide)
    ->MinTime(2.0);
BENCHMARK_CAPTURE(KitInstallAgainstCp, cp_r_fsync_each, Variant{Comparison::CpFsyncEach, 0})
    ->Apply(sideBySide)
    ->MinTime(2.0);
// Each iteration writes 2 GiB into the page cache: a few are enough.
BENCHMARK_CAPTURE(KitInstallAgainstCp, cp_r_fsync_each_1GiB_unflushed,
                  Variant{Comparison::CpFsyncEach, kGiB})
    ->Apply(sideBySide)
    ->Iterations(4);

}  // namespace

BENCHMARK_MAIN();
