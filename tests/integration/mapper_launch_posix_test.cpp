// The mapper launcher on the real POSIX host: stand-in programs in a
// temporary application folder record how they were started.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "core/posix/posix_host.hpp"
#include "mapper_launcher/mapper_launch.hpp"

namespace kelmor {
namespace {

namespace fs = std::filesystem;

struct Ended {
    int exitCode;
};

// The real host, except that ending the process returns to the test.
class TestHost : public posix::PosixHost {
public:
    using PosixHost::PosixHost;
    [[noreturn]] void endProcess(int exitCode) override { throw Ended{exitCode}; }
};

std::string slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Waits up to five seconds for a file that a started program writes.
bool waitFor(const fs::path& path) {
    for (int i = 0; i < 100; ++i) {
        if (fs::exists(path)) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
}

class MapperLaunchOnPosix : public ::testing::Test {
protected:
    void SetUp() override {
        root_ = fs::temp_directory_path() / ("kelmor-mapper-" + std::to_string(getpid()));
        app_ = root_ / "Kelmor Plix";  // a blank in the folder's name
        fs::create_directories(app_);
        fs::create_directories(root_ / "config" / "kelmor");
        std::ofstream(root_ / "config" / "kelmor" / "drives.ini") << "[options]\ndetect=no\n";
    }
    void TearDown() override { fs::remove_all(root_); }

    // A stand-in that writes its arguments and working folder to <record>.
    void standIn(const std::string& name, const std::string& record) {
        const fs::path path = app_ / name;
        std::ofstream(path) << "#!/bin/sh\n{ echo \"$#\"; printf '%s\\n' \"$@\"; pwd; } >" << record
                            << ".tmp && mv " << record << ".tmp " << record << "\n";
        fs::permissions(path, fs::perms::owner_all);
    }
    void marker(const std::string& content) {
        std::ofstream(app_ / "THEST.FUJ", std::ios::binary) << content;
    }

    int run() {
        posix::PosixHostOptions options;
        options.applicationFolder = app_.string();
        options.configHome = (root_ / "config").string();
        TestHost host(std::move(options));
        try {
            MapperLauncher(host).run();
        } catch (const Ended& end) {
            return end.exitCode;
        }
        return -1;
    }

    fs::path root_, app_;
};

TEST_F(MapperLaunchOnPosix, InstalledKitStartsTheMapEditorFoundInUpperCase) {
    marker("KELPLIX\r\n");
    standIn("MAPPER.EXE", "editor.txt");
    standIn("_KelmorPlix", "kit.txt");
    EXPECT_EQ(run(), 0);
    ASSERT_TRUE(waitFor(app_ / "editor.txt"));
    EXPECT_EQ(slurp(app_ / "editor.txt"), "0\n" + app_.string() + "\n");
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_FALSE(fs::exists(app_ / "kit.txt"));
}

TEST_F(MapperLaunchOnPosix, WithoutTheMarkerTheKitLauncherGetsExactlyMapper) {
    for (const std::string content : {"", "KELPLIX\r\n\r\n", "kelplix\r\n", "none"}) {
        fs::remove(app_ / "THEST.FUJ");
        fs::remove(app_ / "kit.txt");
        if (content != "none") marker(content);
        standIn("MAPPER.EXE", "editor.txt");
        standIn("_KelmorPlix", "kit.txt");
        EXPECT_EQ(run(), 0);
        ASSERT_TRUE(waitFor(app_ / "kit.txt")) << content;
        EXPECT_EQ(slurp(app_ / "kit.txt"), "1\nmapper\n" + app_.string() + "\n") << content;
        EXPECT_FALSE(fs::exists(app_ / "editor.txt"));
    }
}

TEST_F(MapperLaunchOnPosix, AMissingProgramIsDroppedAndTheProcessEndsWithZero) {
    EXPECT_EQ(run(), 0);  // no _KelmorPlix
    marker("KELPLIX");
    EXPECT_EQ(run(), 0);  // no MAPPER.EXE
}

}  // namespace
}  // namespace kelmor
