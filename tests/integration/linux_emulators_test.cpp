// SPDX-License-Identifier: GPL-3.0-or-later
// The Linux emulators on the real host, with stand-in emulators (scripts
// that print a version line) on search paths and in Flatpak folders of the
// test's own: which programs count and in which order, what a probe runs
// them in and how long, and the cache of what each said.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "core/linux_emulators/linux_emulator_choice.hpp"
#include "core/posix_files/posix_host_path.hpp"
#include "tests/support/temp_folder.hpp"

namespace kelmor::linux_emulators {
namespace {

using test::TempFolder;

std::string makeExecutable(const TempFolder& temp, const std::string& relative,
                           const std::string& content) {
    const std::string path = temp.write(relative, content);
    chmod(path.c_str(), 0755);
    return path;
}

std::string printing(const std::string& versionLine) {
    return "#!/bin/sh\necho '" + versionLine + "'\n";
}

EmulatorFile fileAt(const std::string& path) {
    return {path, posix_files::realHostPath(path).value_or("")};
}

// Whether a process still runs (a zombie that nobody reaped yet does not).
bool runningNow(long process) {
    std::ifstream in("/proc/" + std::to_string(process) + "/stat");
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::size_t nameEnd = text.rfind(')');
    return nameEnd != std::string::npos && nameEnd + 2 < text.size() && text[nameEnd + 2] != 'Z';
}

// Whether the process still runs a moment after it was killed: a busy
// machine may take a while to end a process that SIGKILL reached.
bool running(long process) {
    for (int i = 0; i < 100 && runningNow(process); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    return runningNow(process);
}

// An environment variable set for one test.
class ScopedVariable {
public:
    ScopedVariable(const char* name, const std::string& value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        setenv(name, value.c_str(), 1);
    }
    ~ScopedVariable() {
        if (old_)
            setenv(name_, old_->c_str(), 1);
        else
            unsetenv(name_);
    }

private:
    const char* name_;
    std::optional<std::string> old_;
};

// --- which emulators, in which order ----------------------------------------

TEST(EmulatorSearch, ThePresentOnesInTheOrderTriedEachFileOnceNeverTheBridge) {
    TempFolder temp;
    const std::string self = makeExecutable(temp, "bridge/dosbox", "bridge");
    temp.makeFolder("linked");
    symlink(self.c_str(), temp.path("linked/dosbox").c_str());
    for (const char* name : {"dosbox-staging", "dosbox-x", "dosbox"})
        makeExecutable(temp, std::string("bin/") + name, printing(name));
    makeExecutable(temp, "later/dosbox", printing("later"));
    makeExecutable(temp, "user flatpak/io.github.dosbox-staging", printing("user"));
    makeExecutable(temp, "system flatpak/io.github.dosbox-staging", printing("system"));
    makeExecutable(temp, "opt/emulator", printing("opt"));
    temp.makeFolder("alias");
    symlink(temp.path("bin/dosbox").c_str(), temp.path("alias/dosbox-x").c_str());
    temp.write("plain/dosbox", "not executable");
    temp.makeFolder("folder/dosbox");
    const auto at = [&](const std::string& relative) { return temp.path(relative); };
    const std::vector<std::string> flatpaks{at("user flatpak"), at("system flatpak")};

    struct Case {
        const char* what;
        std::string configured;
        std::string searchPath;
        std::vector<std::string> flatpakExports;
        std::vector<std::string> expected;  // relative to the folder
        bool configuredFound = false;
    };
    const std::vector<Case> cases{
        {"Staging, its Flatpak, DOSBox-X, dosbox; the first of a name on PATH",
         "",
         at("bin") + ":" + at("later"),
         flatpaks,
         {"bin/dosbox-staging", "user flatpak/io.github.dosbox-staging", "bin/dosbox-x",
          "bin/dosbox"}},
        {"the system's Flatpak",
         "",
         at("later"),
         {at("none"), at("system flatpak")},
         {"system flatpak/io.github.dosbox-staging", "later/dosbox"}},
        {"emulator= a file, first",
         at("opt/emulator"),
         at("later"),
         {},
         {"opt/emulator", "later/dosbox"},
         true},
        {"emulator= a name on PATH, once",
         "dosbox-x",
         at("bin"),
         {},
         {"bin/dosbox-x", "bin/dosbox-staging", "bin/dosbox"},
         true},
        {"one file under two names, once",
         "",
         at("alias") + ":" + at("bin"),
         {},
         {"bin/dosbox-staging", "alias/dosbox-x"}},
        {"the bridge is passed over, and so is a link to it",
         "",
         at("bridge") + ":" + at("linked"),
         {},
         {}},
        {"not executable, a folder, missing folders, an empty entry are passed over",
         "",
         at("plain") + ":" + at("folder") + ":" + at("none") + "::" + at("later"),
         {},
         {"later/dosbox"}},
        {"emulator= naming the bridge", at("linked/dosbox"), at("later"), {}, {"later/dosbox"}},
        {"emulator= naming a missing file", at("none/dosbox"), at("later"), {}, {"later/dosbox"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const EmulatorSearch search{c.configured, c.searchPath, c.flatpakExports, self};
        std::vector<std::string> found;
        for (const EmulatorFile& file : presentEmulators(search))
            found.push_back(file.path.substr(at("").size()));
        EXPECT_EQ(found, c.expected);
        EXPECT_EQ(configuredEmulator(search).has_value(), c.configuredFound);
    }
}

// The launchers start the one emulator= names, and no other when it is not
// there; else the first present. Each with what it said.
TEST(EmulatorChoice, TheOneNamedElseTheFirstPresent) {
    TempFolder temp;
    makeExecutable(temp, "bin/dosbox-x", printing("DOSBox-X version 2024.12.04 SDL2"));
    makeExecutable(temp, "bin/dosbox",
                   printing("DOSBox version 0.74-3, copyright 2002-2019 DOSBox Team."));
    struct Case {
        std::string configured;
        std::optional<std::string> started;  // relative to the folder
        std::string name;
    };
    const std::vector<Case> cases{
        {"", "bin/dosbox-x", "DOSBox-X 2024.12.04"},
        {"dosbox", "bin/dosbox", "DOSBox 0.74-3"},
        {temp.path("bin/dosbox"), "bin/dosbox", "DOSBox 0.74-3"},
        {"dosbox-staging", std::nullopt, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.configured);
        const auto started =
            chooseEmulator({c.configured, temp.path("bin"), {}, ""}, temp.path("cache"));
        ASSERT_EQ(started.has_value(), c.started.has_value());
        if (!started) continue;
        EXPECT_EQ(started->path, temp.path(*c.started));
        EXPECT_EQ(started->identity.name, c.name);
    }
}

// --- the probe ----------------------------------------------------------------

// The stand-in writes into its home and XDG folders; the player's home
// (here one of the test's own) stays untouched, and the probe's goes.
TEST(EmulatorProbe, RunsInAPrivateHomeThatIsRemovedAfterwards) {
    TempFolder temp;
    temp.makeFolder("home");
    const ScopedVariable home("HOME", temp.path("home"));
    const ScopedVariable display("DISPLAY", ":99");
    const std::string record = temp.path("record");
    const std::string program = makeExecutable(
        temp, "bin/dosbox",
        "#!/bin/sh\n"
        "echo \"$HOME|$XDG_CONFIG_HOME|$XDG_DATA_HOME|$XDG_CACHE_HOME|$XDG_STATE_HOME|$(pwd)|"
        "${DISPLAY-none}|$*\" >'" +
            record +
            "'\n"
            "mkdir -p \"$HOME/.config/dosbox\" && echo written "
            ">\"$HOME/.config/dosbox/dosbox-staging.conf\"\n"
            "chmod 0500 \"$HOME/.config\"\n"
            "cat >>'" +
            record +
            "'\n"
            "echo 'dosbox-staging, version 0.82.2 (f8c24)' >&2\n");

    const auto identity = probeEmulator(program, "dosbox");
    ASSERT_TRUE(identity);
    EXPECT_EQ(identity->dialect, EmulatorDialect::Staging) << "stderr is read too";
    EXPECT_EQ(identity->name, "DOSBox Staging 0.82.2");
    const std::string seen = temp.read("record");
    const std::string folder = seen.substr(0, seen.find('|'));
    EXPECT_EQ(seen, folder + "|" + folder + "|" + folder + "|" + folder + "|" + folder + "|" +
                        folder + "|none|--version\n")
        << "nothing read from stdin";
    EXPECT_NE(folder, temp.path("home"));
    EXPECT_FALSE(std::filesystem::exists(folder));
    EXPECT_TRUE(temp.names("home").empty());
}

// A program that hangs is killed at the limit with what it started, and
// tells nothing, whatever it printed before. The limit leaves a busy
// machine time to run the script's first lines.
TEST(EmulatorProbe, KilledAtItsLimitWithWhatItStarted) {
    TempFolder temp;
    const std::string program = makeExecutable(temp, "bin/dosbox",
                                               "#!/bin/sh\necho 'DOSBox version 0.74-3'\n"
                                               "sleep 60 &\necho $! >'" +
                                                   temp.path("started") +
                                                   "'\n"
                                                   "echo $$ >'" +
                                                   temp.path("itself") + "'\nexec sleep 60\n");
    const auto identity = probeEmulator(program, program, std::chrono::milliseconds(2000));
    ASSERT_TRUE(identity);
    EXPECT_EQ(identity->dialect, EmulatorDialect::Unknown);
    EXPECT_FALSE(running(std::stol(temp.read("itself"))));
    EXPECT_FALSE(running(std::stol(temp.read("started"))));
}

TEST(EmulatorProbe, NothingWhenItCannotStartOrRunsInsideAProbe) {
    TempFolder temp;
    const std::string record = temp.path("ran");
    const std::string program = makeExecutable(
        temp, "bin/dosbox", "#!/bin/sh\ntouch '" + record + "'\necho 'DOSBox version 0.74-3'\n");
    EXPECT_FALSE(probeEmulator(makeExecutable(temp, "bin/garbage", "no program"), "garbage"));
    EXPECT_FALSE(probeEmulator(temp.path("bin/missing"), "missing"));
    {
        const ScopedVariable inside(kProbeVariable, "1");
        EXPECT_FALSE(probeEmulator(program, program));
        EXPECT_FALSE(chooseEmulator({program, "", {}, ""}, temp.path("cache")));
    }
    EXPECT_FALSE(temp.exists("ran"));
    EXPECT_TRUE(probeEmulator(program, program));
}

// Debian's DOSBox, the one the kit's install brings, told as it is.
TEST(EmulatorProbe, DebiansDosbox) {
    if (access("/usr/bin/dosbox", X_OK) != 0) GTEST_SKIP() << "no /usr/bin/dosbox";
    const auto identity = probeEmulator("/usr/bin/dosbox", "dosbox");
    ASSERT_TRUE(identity);
    EXPECT_EQ(identity->dialect, EmulatorDialect::Dosbox074);
    EXPECT_EQ(identity->name.rfind("DOSBox 0.74", 0), 0u) << identity->name;
}

// --- the cache -------------------------------------------------------------------

TEST(EmulatorIdentity, ProbedOnceWhileTheFileStaysTheSame) {
    TempFolder temp;
    const std::string runs = temp.path("runs");
    const auto script = [&](const std::string& line) {
        return "#!/bin/sh\necho run >>'" + runs + "'\necho '" + line + "'\n";
    };
    const std::string cache = temp.path("cache/kelmor/emulators");
    const EmulatorFile file =
        fileAt(makeExecutable(temp, "bin/dosbox", script("DOSBox-X version 2024.12.04")));
    const EmulatorFile other =
        fileAt(makeExecutable(temp, "bin/dosbox-x", script("DOSBox version 0.74-3")));
    const EmulatorFile twoLines =
        fileAt(makeExecutable(temp, "two\nlines/dosbox", script("dosbox-staging, version 0.82.2")));
    const auto runCount = [&] {
        const std::string text = temp.exists("runs") ? temp.read("runs") : "";
        return static_cast<long>(std::count(text.begin(), text.end(), '\n'));
    };
    const auto changeTime = [&] {
        struct stat status {};
        stat(file.realPath.c_str(), &status);
        const timespec later{status.st_mtim.tv_sec, (status.st_mtim.tv_nsec + 1) % 1000000000};
        const timespec times[2] = {status.st_atim, later};
        utimensat(AT_FDCWD, file.realPath.c_str(), times, 0);
    };

    struct Step {
        const char* what;
        std::function<void()> before;
        const EmulatorFile& file;
        std::string cacheFile;
        long runs;  // the program runs so far
        std::string name;
    };
    const std::vector<Step> steps{
        {"a first call probes", [] {}, file, cache, 1, "DOSBox-X 2024.12.04"},
        {"a second does not", [] {}, file, cache, 1, "DOSBox-X 2024.12.04"},
        {"another file is kept beside it", [] {}, other, cache, 2, "DOSBox 0.74-3"},
        {"...and the first stays", [] {}, file, cache, 2, "DOSBox-X 2024.12.04"},
        {"a changed file is probed again",
         [&] { makeExecutable(temp, "bin/dosbox", script("DOSBox-X version 2025.01.01")); }, file,
         cache, 3, "DOSBox-X 2025.01.01"},
        {"so is one of a new modification time", changeTime, file, cache, 4, "DOSBox-X 2025.01.01"},
        {"and then known", [] {}, file, cache, 4, "DOSBox-X 2025.01.01"},
        {"a path with a line end is never kept", [] {}, twoLines, cache, 5,
         "DOSBox Staging 0.82.2"},
        {"...so it is probed each time", [] {}, twoLines, cache, 6, "DOSBox Staging 0.82.2"},
        {"a cache that cannot be written costs a probe", [] {}, other, temp.path("runs/emulators"),
         7, "DOSBox 0.74-3"},
        {"...each time", [] {}, other, temp.path("runs/emulators"), 8, "DOSBox 0.74-3"},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        step.before();
        EXPECT_EQ(identifyEmulator(step.file, step.cacheFile).name, step.name);
        EXPECT_EQ(runCount(), step.runs);
    }
}

}  // namespace
}  // namespace kelmor::linux_emulators
