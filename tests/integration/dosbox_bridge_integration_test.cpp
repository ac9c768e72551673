// SPDX-License-Identifier: GPL-3.0-or-later
// The DOSBox bridge on the real host: its private copy in a shared folder
// such as /tmp, and the built program as the launchers start it, with
// stand-in emulators that record what they get (which emulator it starts:
// linux_emulators_test.cpp).
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "dosbox_bridge/posix_emulator.hpp"
#include "dosbox_bridge/posix_runtime_copy.hpp"
#include "dosbox_bridge/posix_start_log.hpp"
#include "tests/support/disc_images.hpp"
#include "tests/support/temp_folder.hpp"

namespace kelmor::bridge {
namespace {

using test::TempFolder;

struct stat statusOf(const std::string& path) {
    struct stat status {};
    EXPECT_EQ(lstat(path.c_str(), &status), 0) << path;
    return status;
}

void makeExecutable(const TempFolder& temp, const std::string& relative,
                    const std::string& content) {
    chmod(temp.write(relative, content).c_str(), 0755);
}

// --- the private copy -------------------------------------------------------

class RuntimeCopy : public ::testing::Test {
protected:
    std::string base() const { return temp.path("tmp"); }
    std::vector<std::string> bases() const { return {base(), temp.path("cache")}; }
    std::string privateFolder(const std::string& below = "tmp") const {
        return temp.path(below + "/kelmor-" + std::to_string(geteuid()));
    }
    std::string relative(const std::string& path) const {
        return path.substr(temp.path().size() + 1);
    }
    TempFolder temp;
    RuntimeCopy() {
        temp.makeFolder("tmp");
        temp.makeFolder("cache");
    }
};

TEST_F(RuntimeCopy, OneFilePerConfigurationReadableByTheUserAlone) {
    const std::string first = writeRuntimeCopy({base()}, "/games/kelmor", "one");
    EXPECT_EQ(first, privateFolder() + "/" + runtimeCopyName("/games/kelmor", getpid()));
    EXPECT_EQ(writeRuntimeCopy({base()}, "/games/kelmor", "two"), first);
    EXPECT_EQ(temp.read(relative(first)), "two");
    EXPECT_NE(writeRuntimeCopy({base()}, "/games/other", "three"), first);

    EXPECT_EQ(statusOf(privateFolder()).st_mode & 07777, 0700u);
    EXPECT_EQ(statusOf(first).st_mode & 07777, 0600u);
    EXPECT_EQ(statusOf(first).st_uid, geteuid());
    EXPECT_EQ(temp.names("tmp/kelmor-" + std::to_string(geteuid())).size(), 2u)
        << "no temporary file left behind";
}

// Launches at the same moment each hand their emulator a copy of their own
// (named by its process); a start removes the copies of processes that have
// ended, and the one an earlier bridge shared among its starts.
TEST_F(RuntimeCopy, TheCopiesOfEndedProcessesAreRemoved) {
    const pid_t ended = fork();
    if (ended == 0) _exit(0);
    waitpid(ended, nullptr, 0);
    const std::string folder = relative(privateFolder()) + "/";
    const std::string running = folder + runtimeCopyName("/games/kelmor", 1);
    const std::string gone = folder + runtimeCopyName("/games/kelmor", ended);
    for (const std::string& name :
         {running, gone, folder + "0123456789abcdef.conf", folder + "notes"})
        temp.write(name, "theirs");
    writeRuntimeCopy({base()}, "/games/kelmor", "own");
    EXPECT_EQ(temp.names(folder),
              (std::vector<std::string>{runtimeCopyName("/games/kelmor", 1),
                                        runtimeCopyName("/games/kelmor", getpid()), "notes"}));
    EXPECT_EQ(temp.read(running), "theirs");
}

TEST_F(RuntimeCopy, OurFolderThatIsTooOpenIsClosed) {
    mkdir(privateFolder().c_str(), 0700);
    chmod(privateFolder().c_str(), 0777);
    writeRuntimeCopy({base()}, "/games/kelmor", "text");
    EXPECT_EQ(statusOf(privateFolder()).st_mode & 07777, 0700u);
}

// What someone else may have put in /tmp before the user's first game, or
// an XDG_RUNTIME_DIR of another user: the copy goes to the next base.
TEST_F(RuntimeCopy, AFolderThatIsNotTheUsersOwnIsPassedOver) {
    const std::string victim = temp.write("victim/file", "keep");
    struct Plant {
        const char* what;
        std::function<void()> plant;
    };
    std::vector<Plant> plants{
        {"a link to another folder",
         [&] { symlink(temp.path("victim").c_str(), privateFolder().c_str()); }},
        {"a file", [&] { close(open(privateFolder().c_str(), O_CREAT | O_WRONLY, 0600)); }},
        {"a base others may change", [&] { chmod(base().c_str(), 0777); }},
    };
    // Only root can give a folder away; other users test the rest.
    if (geteuid() == 0) {
        plants.push_back({"a folder of another user", [&] {
                              mkdir(privateFolder().c_str(), 0777);
                              ASSERT_EQ(chown(privateFolder().c_str(), 65534, 65534), 0);
                          }});
        plants.push_back({"a base of another user", [&] {
                              chmod(base().c_str(), 0700);
                              ASSERT_EQ(chown(base().c_str(), 65534, 65534), 0);
                          }});
    }
    for (const Plant& p : plants) {
        SCOPED_TRACE(p.what);
        std::filesystem::remove_all(base());
        temp.makeFolder("tmp");
        p.plant();
        EXPECT_THROW(writeRuntimeCopy({base()}, "/games/kelmor", "text"), std::system_error);
        EXPECT_EQ(writeRuntimeCopy(bases(), "/games/kelmor", "text"),
                  privateFolder("cache") + "/" + runtimeCopyName("/games/kelmor", getpid()));
        EXPECT_EQ(temp.names("victim"), std::vector<std::string>{"file"});
        EXPECT_EQ(temp.read("victim/file"), "keep");
    }
}

TEST_F(RuntimeCopy, ALinkAtTheCopysNameIsReplacedNotFollowed) {
    const std::string victim = temp.write("victim.txt", "keep");
    mkdir(privateFolder().c_str(), 0700);
    const std::string copy = privateFolder() + "/" + runtimeCopyName("/games/kelmor", getpid());
    ASSERT_EQ(symlink(victim.c_str(), copy.c_str()), 0);
    writeRuntimeCopy({base()}, "/games/kelmor", "text");
    EXPECT_EQ(temp.read("victim.txt"), "keep");
    EXPECT_TRUE(S_ISREG(statusOf(copy).st_mode));
}

// --- the program ------------------------------------------------------------

struct Outcome {
    int exitCode = -1;  // -1: did not end in time, or killed
    std::string errors;
};

// Runs a program in a folder with an environment of its own, for at most
// 20 s; with a file size limit, a write beyond it fails as on a full disk.
Outcome runProgram(const std::string& program, const std::vector<std::string>& arguments,
                   const std::string& folder, const std::map<std::string, std::string>& env,
                   long fileSizeLimit = -1) {
    int pipeFds[2];
    if (pipe2(pipeFds, O_CLOEXEC) != 0) return {};
    const pid_t child = fork();
    if (child == 0) {
        setpgid(0, 0);
        if (fileSizeLimit >= 0) {
            signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{static_cast<rlim_t>(fileSizeLimit),
                               static_cast<rlim_t>(fileSizeLimit)};
            setrlimit(RLIMIT_FSIZE, &limit);
        }
        dup2(pipeFds[1], STDERR_FILENO);
        close(pipeFds[0]);
        close(pipeFds[1]);
        if (chdir(folder.c_str()) != 0) _exit(99);
        std::vector<std::string> environment;
        for (const auto& [key, value] : env) environment.push_back(key + "=" + value);
        std::vector<char*> envp;
        for (std::string& entry : environment) envp.push_back(entry.data());
        envp.push_back(nullptr);
        std::vector<std::string> all{program};
        all.insert(all.end(), arguments.begin(), arguments.end());
        std::vector<char*> argv;
        for (std::string& argument : all) argv.push_back(argument.data());
        argv.push_back(nullptr);
        execve(program.c_str(), argv.data(), envp.data());
        _exit(98);
    }
    close(pipeFds[1]);
    fcntl(pipeFds[0], F_SETFL, O_NONBLOCK);
    Outcome outcome;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    int status = 0;
    pid_t ended = 0;
    while ((ended = waitpid(child, &status, WNOHANG)) == 0 &&
           std::chrono::steady_clock::now() < deadline) {
        char buffer[512];
        ssize_t got;
        while ((got = read(pipeFds[0], buffer, sizeof buffer)) > 0)
            outcome.errors.append(buffer, got);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (ended == 0) {
        kill(-child, SIGKILL);
        waitpid(child, &status, 0);
    } else if (WIFEXITED(status)) {
        outcome.exitCode = WEXITSTATUS(status);
    }
    char buffer[512];
    ssize_t got;
    while ((got = read(pipeFds[0], buffer, sizeof buffer)) > 0) outcome.errors.append(buffer, got);
    close(pipeFds[0]);
    kill(-child, SIGKILL);
    return outcome;
}

std::size_t occurrences(const std::string& text, const std::string& what) {
    std::size_t count = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++count;
    return count;
}

// Records its arguments, one per line, the configuration it was handed and
// its parent's process id, the bridge's; asked what it is, it says so, as
// DOSBox does.
constexpr const char* kRecordingEmulator =
    "#!/bin/sh\n"
    "if [ \"$1\" = --version ]; then echo 'DOSBox version 0.74-3'; exit 0; fi\n"
    "printf '%s\\n' \"$@\" >\"$RECORD.args\"\n"
    "echo $PPID >\"$RECORD.pid\"\n"
    "if [ \"$1\" = -conf ]; then /bin/cat \"$2\" >\"$RECORD.conf\"; fi\n"
    "exit 7\n";

class BridgeProgram : public ::testing::Test {
protected:
    BridgeProgram() {
        temp.makeFolder("Kelmor app/SAVEGAME");
        temp.makeFolder("game cd");
        temp.makeFolder("runtime");
        chmod(temp.path("runtime").c_str(), 0700);
        bridge = temp.path("Kelmor app/dosbox");
        std::filesystem::copy_file(KELMOR_BRIDGE_PROGRAM, bridge);
        makeExecutable(temp, "bin/dosbox", kRecordingEmulator);
        temp.write("Kelmor app/dosbox.conf", kConfiguration);
        driveMap("");
    }

    void driveMap(const std::string& options) {
        temp.write("config/kelmor/drives.ini", "[options]\ndetect=no\n" + options +
                                                   "\n[drives]\nE=" + temp.path("game cd") + "\n");
    }

    Outcome run(const std::vector<std::string>& arguments, const std::string& path = "",
                std::map<std::string, std::string> env = {}, long fileSizeLimit = -1) {
        env.insert({{"PATH", path.empty() ? temp.path("bin") : path},
                    {"HOME", temp.path()},
                    {"XDG_CONFIG_HOME", temp.path("config")},
                    {"XDG_RUNTIME_DIR", temp.path("runtime")},
                    {"RECORD", temp.path("record")}});
        return runProgram(bridge, arguments, temp.path("Kelmor app"), env, fileSizeLimit);
    }

    std::string hostFolder(const std::string& relative) const { return temp.path(relative); }

    // The path of the copy of an application folder's file that the last
    // bridge handed its emulator.
    std::string copyOf(const std::string& file, const std::string& base = "runtime") const {
        return temp.path(
            base + "/kelmor-" + std::to_string(geteuid()) + "/" +
            runtimeCopyName(temp.path("Kelmor app/" + file), std::stol(temp.read("record.pid"))));
    }

    // The lines behind the last mount of a copy that ask the emulator's
    // shell which of `drives` it refused.
    std::string mountCheck(const std::string& drives) const {
        std::string lines = "@MOUNT X \"" + mountsFolder() + "\" >NUL\r\n";
        for (const char drive : drives) {
            const std::string letter(1, drive);
            lines += "@IF NOT EXIST " + letter + ":\\NUL ECHO " + letter + ">>X:\\REFUSED.TXT\r\n";
        }
        return lines + "@MOUNT -u X >NUL\r\n";
    }

    std::string mountsFolder() const {
        return temp.path(
            "runtime/kelmor-" + std::to_string(geteuid()) + "/" +
            runtimeCopyName("mounts", std::stol(temp.read("record.pid")), kFolderOfItsOwn));
    }

    static constexpr const char* kConfiguration =
        "[sdl]\r\nfullscreen=true\r\n[autoexec]\r\nMOUNT E E:\\ -t cdrom -usecd 0 -ioctl\r\n";

    TempFolder temp;
    std::string bridge;
};

TEST_F(BridgeProgram, HandsTheTranslatedCopyToTheEmulatorAndLeavesDosboxConfAlone) {
    std::string windowsApp = "C:" + temp.path("Kelmor app");
    for (char& c : windowsApp) c = c == '/' ? '\\' : c;
    const std::string conf = std::string(kConfiguration) + "MOUNT B \"" + windowsApp +
                             "\\savegame\"\r\nKELMOR.EXE save=B:\r\n";
    temp.write("Kelmor app/dosbox.conf", conf);

    const Outcome outcome = run({"-NoConsole", "-exit"});
    EXPECT_EQ(outcome.exitCode, 7) << "the emulator's own exit code: " << outcome.errors;
    EXPECT_EQ(temp.read("record.args"), "-conf\n" + copyOf("dosbox.conf") + "\n-exit\n");
    // In DOSBox 0.74's dialect, which the emulator said it takes; its shell
    // asked after the mounts which of them it refused.
    EXPECT_EQ(temp.read("record.conf"),
              "[sdl]\r\nfullscreen=true\r\n\r\n[autoexec]\r\nMOUNT E \"" + temp.path("game cd") +
                  "\" -t cdrom -usecd 0 -ioctl\r\nMOUNT B \"" + temp.path("Kelmor app/SAVEGAME") +
                  "\"\r\n" + mountCheck("EB") + "KELMOR.EXE save=B:\r\n");
    EXPECT_FALSE(std::filesystem::exists(mountsFolder()))
        << "the check's folder outlives its start";
    EXPECT_EQ(temp.read("Kelmor app/dosbox.conf"), conf);
    EXPECT_EQ(temp.names("Kelmor app"),
              (std::vector<std::string>{"SAVEGAME", "dosbox", "dosbox.conf"}));
}

// The launchers write into an existing DOSBOX.CONF when there is one.
TEST_F(BridgeProgram, ReadsDosboxConfInAnyLetterCase) {
    std::filesystem::rename(temp.path("Kelmor app/dosbox.conf"),
                            temp.path("Kelmor app/DOSBOX.CONF"));
    EXPECT_EQ(run({"-noconsole"}).exitCode, 7);
    EXPECT_NE(temp.read("record.conf").find("MOUNT E \"" + temp.path("game cd") + "\""),
              std::string::npos);
}

// The map editor's start names its own configuration, found in any letter
// case; the emulator then reads that alone, as it would without the bridge.
TEST_F(BridgeProgram, AConfigurationNamedByConfIsHandedInPlaceOfDosboxConf) {
    std::string windowsCd = "C:" + temp.path("game cd");
    for (char& c : windowsCd) c = c == '/' ? '\\' : c;
    temp.write("Kelmor app/MAPEDITOR.CONF", "[autoexec]\r\nmount B \"" + windowsCd + "\"\r\n");
    EXPECT_EQ(run({"-noconsole", "-conf", "mapeditor.conf", "-CONF", "none.conf"}).exitCode, 7);
    EXPECT_EQ(temp.read("record.args"),
              "-conf\n" + copyOf("MAPEDITOR.CONF") + "\n-CONF\nnone.conf\n");
    EXPECT_EQ(temp.read("record.conf"),
              "[autoexec]\r\nmount B \"" + temp.path("game cd") + "\"\r\n" + mountCheck("B"));
}

TEST_F(BridgeProgram, TheUsersOwnConfigurationIsHandedAfterTheKits) {
    temp.write("config/kelmor/dosbox-user.conf", "[midi]\r\nmididevice=fluidsynth\r\n");
    EXPECT_EQ(run({"-noconsole", "-exit"}).exitCode, 7);
    EXPECT_EQ(temp.read("record.args"), "-conf\n" + copyOf("dosbox.conf") + "\n-exit\n-conf\n" +
                                            temp.path("config/kelmor/dosbox-user.conf") + "\n");
}

TEST_F(BridgeProgram, WithoutDosboxConfTheEmulatorStartsAsOnItsOwn) {
    std::filesystem::remove(temp.path("Kelmor app/dosbox.conf"));
    EXPECT_EQ(run({"-noconsole", "-c", "exit"}).exitCode, 7);
    EXPECT_EQ(temp.read("record.args"), "-c\nexit\n");
}

// A configuration far larger than any real one is refused in one line, as
// an unreadable one is, and the emulator does not start.
TEST_F(BridgeProgram, AHugeDosboxConfIsOneLineAndNoStart) {
    temp.sparse("Kelmor app/dosbox.conf", std::uintmax_t{64} << 30);
    const Outcome outcome = run({"-noconsole"});
    EXPECT_EQ(outcome.exitCode, 1);
    EXPECT_EQ(std::count(outcome.errors.begin(), outcome.errors.end(), '\n'), 1) << outcome.errors;
    EXPECT_NE(outcome.errors.find("dosbox.conf: File too large"), std::string::npos)
        << outcome.errors;
    EXPECT_FALSE(temp.exists("record.args"));
}

// Each way of finding no emulator: one line on stderr, exit 127, nothing written.
TEST_F(BridgeProgram, NoEmulatorIsOneLineAndExit127) {
    struct Case {
        const char* what;
        std::string options;
        std::string path;
        std::string mentions;
    };
    const std::vector<Case> cases{
        {"nothing on PATH", "", temp.path("empty"),
         "none found (dosbox-staging, dosbox-x or dosbox on PATH"},
        {"only the bridge on PATH", "", temp.path("Kelmor app"), "none found ("},
        {"emulator= names a missing file", "emulator=" + temp.path("none"), temp.path("bin"),
         "emulator=" + temp.path("none")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        driveMap(c.options);
        const Outcome outcome = run({"-noconsole"}, c.path);
        EXPECT_EQ(outcome.exitCode, 127);
        EXPECT_EQ(std::count(outcome.errors.begin(), outcome.errors.end(), '\n'), 1)
            << outcome.errors;
        EXPECT_NE(outcome.errors.find(c.mentions), std::string::npos) << outcome.errors;
        EXPECT_EQ(temp.read("Kelmor app/dosbox.conf"), kConfiguration);
        EXPECT_TRUE(temp.names("runtime").empty());
        EXPECT_FALSE(temp.exists("record.args"));
    }
}

// A copy of the bridge where the emulator should be, or a wrapper that runs
// one without exec, would hand over to itself for ever; the second bridge
// stops instead, with one line.
TEST_F(BridgeProgram, TheBridgeAsItsOwnEmulatorStops) {
    temp.makeFolder("copy");
    std::filesystem::copy_file(KELMOR_BRIDGE_PROGRAM, temp.path("copy/dosbox"));
    const std::string wrapper = "#!/bin/sh\n'" + temp.path("copy/dosbox") + "' \"$@\"\nexit $?\n";
    // One that clears the environment the bridge hands on.
    const std::string clearing =
        "#!/bin/sh\nexec /usr/bin/env -i '" + temp.path("copy/dosbox") + "' \"$@\"\n";
    for (const std::string& emulator : {std::string("copy"), wrapper, clearing}) {
        SCOPED_TRACE(emulator);
        std::filesystem::remove(temp.path("bin/dosbox"));
        if (emulator == "copy")
            std::filesystem::copy_file(KELMOR_BRIDGE_PROGRAM, temp.path("bin/dosbox"));
        else
            makeExecutable(temp, "bin/dosbox", emulator);
        const Outcome outcome = run({"-noconsole"});
        EXPECT_EQ(outcome.exitCode, 127);
        // Said once by the second bridge; the first reports its emulator's exit code.
        EXPECT_EQ(occurrences(outcome.errors, "this bridge again"), 1u) << outcome.errors;
        EXPECT_EQ(occurrences(outcome.errors, "DOSBox ended with exit code 127"), 1u)
            << outcome.errors;
    }
}

// A drive that holds an image is mounted whole with IMGMOUNT; an image
// without a disc, or a folder inside an image, leaves its line as written
// and says so in one line.
TEST_F(BridgeProgram, ADriveThatHoldsADiscImageIsMountedWithIMGMOUNT) {
    temp.write("game cd/KELMOR/VIGNET.DAT", "marker");
    testing::makeIso(temp.path("game cd"), temp.path("cd images/kelmor.iso"));
    // A rip with one file per track: the emulator reads its sheet itself.
    testing::writeRipWithFilePerTrack(temp.path("cd images"), "kelmor 100% (EU)",
                                      testing::fileBytes(temp.path("cd images/kelmor.iso")),
                                      "MODE1/2352");
    temp.write("config/kelmor/drives.ini",
               "[options]\ndetect=no\n[drives]\nE=" + temp.path("cd images/kelmor 100% (EU).cue") +
                   "\nF=" + temp.path("cd images/gone.cue") + "\n");
    const std::string autoexec =
        "[autoexec]\r\nMOUNT F F:\\ -t cdrom\r\nmount G E:\\KELMOR\r\nE:\r\n";
    temp.write("Kelmor app/dosbox.conf", std::string(kConfiguration) + autoexec.substr(12));

    const Outcome outcome = run({"-noconsole"});
    EXPECT_EQ(outcome.exitCode, 7) << outcome.errors;
    EXPECT_EQ(temp.read("record.conf"),
              "[sdl]\r\nfullscreen=true\r\n\r\n[autoexec]\r\nIMGMOUNT E \"" +
                  temp.path("cd images/kelmor 100%% (EU).cue") + "\" -t iso\r\n" +
                  autoexec.substr(12, autoexec.size() - 16) + mountCheck("EFG") + "E:\r\n");
    // Two lines of its own, and the emulator's exit code 7 reported.
    EXPECT_EQ(std::count(outcome.errors.begin(), outcome.errors.end(), '\n'), 3) << outcome.errors;
    EXPECT_NE(outcome.errors.find("F: holds no disc, its image cannot be read: " +
                                  temp.path("cd images/gone.cue")),
              std::string::npos)
        << outcome.errors;
    EXPECT_NE(outcome.errors.find("cannot mount E:\\KELMOR"), std::string::npos) << outcome.errors;
}

// DOSBox mounts no sheet with a file it cannot find as named: the bridge
// hands it one of its own, the files named as they are spelled, a track
// whose file is missing left out (one line says so); the sheet stays.
TEST_F(BridgeProgram, ASheetDOSBoxCouldNotMountIsHandedAsItCan) {
    temp.write("game cd/KELMOR/VIGNET.DAT", "marker");
    testing::makeIso(temp.path("game cd"), temp.path("iso/kelmor.iso"));
    const std::string data = testing::fileBytes(temp.path("iso/kelmor.iso"));
    const std::string sheet =
        "FILE \"KELMOR (TRACK 1).BIN\" BINARY\r\n  TRACK 01 MODE1/2048\r\n"
        "FILE \"Kelmor (Track 2).bin\" BINARY\r\n  TRACK 02 AUDIO\r\n";
    const std::string track1 = temp.path("cds/Kelmor (Track 1).bin"),
                      track2 = temp.path("cds/Kelmor (Track 2).bin");
    struct Case {
        const char* what;
        std::vector<std::string> files;
        std::string handed;
        std::string said;
    };
    const std::vector<Case> cases{
        {"a file named in another letter case",
         {track1, track2},
         "FILE \"" + track1 + "\" BINARY\r\n  TRACK 01 MODE1/2048\r\nFILE \"" + track2 +
             "\" BINARY\r\n  TRACK 02 AUDIO\r\n",
         ""},
        {"an audio track's file missing",
         {track1},
         "FILE \"" + track1 + "\" BINARY\r\n  TRACK 01 MODE1/2048\r\n",
         "E: track 2 of " + temp.path("cds/Kelmor.cue") +
             " left out: the sheet names `Kelmor (Track 2).bin`, which is not beside it\n"},
    };
    temp.write("config/kelmor/drives.ini", "[drives]\nE=" + temp.path("cds/Kelmor.cue") + "\n");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::filesystem::remove_all(temp.path("cds"));
        temp.write("cds/Kelmor.cue", sheet);
        for (const std::string& file : c.files)
            temp.write(file.substr(temp.path().size() + 1), data);
        const Outcome outcome = run({"-noconsole"});
        const std::string conf = temp.read("record.conf");
        const std::string copy =
            copyOf("dosbox.conf").substr(0, copyOf("dosbox.conf").rfind('/') + 1) +
            runtimeCopyName(temp.path("cds/Kelmor.cue"), std::stol(temp.read("record.pid")),
                            kCueSheetCopy);
        EXPECT_NE(conf.find("IMGMOUNT E \"" + copy + "\" -t iso\r\n"), std::string::npos) << conf;
        EXPECT_EQ(temp.read(copy.substr(temp.path().size() + 1)), c.handed);
        EXPECT_EQ(temp.read("cds/Kelmor.cue"), sheet);
        const std::size_t said = outcome.errors.find("E: track");
        EXPECT_EQ(said == std::string::npos ? "" : outcome.errors.substr(said, c.said.size()),
                  c.said)
            << outcome.errors;
    }
}

// The bridge finds the images beside the programs in its own folder, as the
// launchers do.
TEST_F(BridgeProgram, AnImageBesideTheProgramsIsMountedWithoutADriveMap) {
    temp.write("game cd/KELMOR/VIGNET.DAT", "marker");
    testing::makeIso(temp.path("game cd"), temp.path("Kelmor app/Kelmor.iso"));
    temp.write("config/kelmor/drives.ini", "");
    temp.write("Kelmor app/dosbox.conf", "[autoexec]\r\nMOUNT D D:\\ -t cdrom\r\n");
    const Outcome outcome = run({"-noconsole"});
    EXPECT_EQ(outcome.exitCode, 7) << outcome.errors;
    EXPECT_EQ(temp.read("record.conf"), "[autoexec]\r\nIMGMOUNT D \"" +
                                            temp.path("Kelmor app/Kelmor.iso") + "\" -t iso\r\n" +
                                            mountCheck("D"));
}

// The emulator runs as the bridge's child: what it prints goes on to the
// bridge's own output and into a log of each start, with what the bridge
// said of the start; an end with an error, or a quick one after a failure
// line, is reported with the log's path, or with why the log is missing;
// the bridge ends with the emulator's code. A state folder that a file
// stands in for cannot hold the log (as a read-only one, also for root); a
// file size limit makes the log's writes fail as on a full disk.
TEST_F(BridgeProgram, TheEmulatorsFailureIsToldAndItsOutputKept) {
    struct Case {
        const char* what;
        std::string script;
        int exitCode;
        std::string printed;   // a line the log keeps; empty: the log is missing
        std::string reported;  // how the report on stderr begins; empty: none
        std::string state = ".local/state";
        long fileSizeLimit = -1;
    };
    const std::string missing =
        "DOSBox ended with exit code 1; the log of what it printed is missing: ";
    const std::string manyLines =
        "i=0\nwhile [ $i -lt 300 ]; do echo \"Exit to error: line $i\" >&2; i=$((i+1)); done\nexit "
        "1\n";
    const std::vector<Case> cases{
        {"an error exit",
         "echo 'DOSBox version 0.74-3'\necho 'Exit to error: no such mode' >&2\nexit 1\n", 1,
         "Exit to error: no such mode\n", "DOSBox ended with exit code 1; all it printed is in "},
        {"a quick end after a failure line",
         "echo 'Could not load image file: /cds/kelmor.cue'\nexit 0\n", 0,
         "Could not load image file: /cds/kelmor.cue\n", "DOSBox ended after 0."},
        {"a crash", "echo 'DOSBox version 0.74-3'\nkill -SEGV $$\n", 128 + SIGSEGV,
         "DOSBox version 0.74-3\n",
         "DOSBox was ended by the signal Segmentation fault; all it printed is in "},
        {"a game played to its end", "echo 'DOSBox version 0.74-3'\nexit 0\n", 0,
         "DOSBox version 0.74-3\n", ""},
        {"a stop on request", "echo 'DOSBox version 0.74-3'\nkill -TERM $$\n", 128 + SIGTERM,
         "DOSBox version 0.74-3\n", ""},
        // As its shell does what the copy asks after the mounts: the drive
        // it refused, into the bridge's folder, whatever it printed.
        {"a drive it refused to mount",
         "[ \"$1\" = -conf ] || exit 0\necho 'MOUNT: Path not found'\n"
         "folder=$(/bin/sed -n 's/^@MOUNT X \"\\(.*\\)\" >NUL\\r$/\\1/p' \"$2\")\n"
         "printf 'E\\r\\n' >>\"$folder/REFUSED.TXT\"\n",
         0, "MOUNT: Path not found\n",
         "DOSBox could not mount E: (the folder " + temp.path("game cd") +
             "); all it printed is in "},
        // A line left as written (its image holds no disc) is named by the image.
        {"a drive left as written that it refused",
         "[ \"$1\" = -conf ] || exit 0\necho 'Drive F does not exist'\n"
         "folder=$(/bin/sed -n 's/^@MOUNT X \"\\(.*\\)\" >NUL\\r$/\\1/p' \"$2\")\n"
         "printf 'F\\r\\n' >>\"$folder/REFUSED.TXT\"\n",
         0, "Drive F does not exist\n",
         "DOSBox could not mount F: (the image " + temp.path("none.iso") +
             "); all it printed is in "},
        // Said before the log was made, while the copy was written.
        {"an image without a disc", "exit 1\n", 1,
         "dosbox (Kelmor bridge): F: holds no disc, its image cannot be read: " +
             temp.path("none.iso"),
         "DOSBox ended with exit code 1; all it printed is in "},
        {"a state folder that cannot hold a log", "exit 1\n", 1, "",
         missing + temp.path("state file/kelmor") + ": Not a directory", "state file"},
        {"a full disk", manyLines, 1, "", missing + temp.path("state full/kelmor/dosbox-"),
         "state full", 4096},
    };
    temp.write("state file/kelmor", "");
    temp.write("config/kelmor/drives.ini",
               "[options]\ndetect=no\n[drives]\nE=" + temp.path("game cd") +
                   "\nF=" + temp.path("none.iso") + "\n");
    temp.write("Kelmor app/dosbox.conf", std::string(kConfiguration) + "MOUNT F F:\\ -t cdrom\r\n");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        makeExecutable(temp, "bin/dosbox", "#!/bin/sh\n" + c.script);
        const Outcome outcome =
            run({"-noconsole"}, "", {{"XDG_STATE_HOME", temp.path(c.state)}}, c.fileSizeLimit);
        EXPECT_EQ(outcome.exitCode, c.exitCode) << outcome.errors;
        const std::size_t report = outcome.errors.find("dosbox (Kelmor bridge): DOSBox ");
        EXPECT_EQ(report == std::string::npos
                      ? ""
                      : outcome.errors.substr(report + 24, c.reported.size()),
                  c.reported);
        const std::string logs = c.state + "/kelmor";
        if (c.printed.empty()) {
            EXPECT_TRUE(!std::filesystem::is_directory(temp.path(logs)) || temp.names(logs).empty())
                << "a log that could not be written is removed";
            continue;
        }
        const std::string log = logs + "/" + temp.names(logs).back();
        EXPECT_NE(temp.read(log).find(c.printed), std::string::npos) << temp.read(log);
        if (c.reported.find("; all it printed is in ") != std::string::npos) {
            EXPECT_NE(outcome.errors.find(temp.path(log)), std::string::npos) << outcome.errors;
        }
        if (c.script.find(">&2") != std::string::npos) {
            EXPECT_NE(outcome.errors.find(c.printed), std::string::npos)
                << "handed on to the bridge's stderr";
        }
    }
}

// The logs of the last starts are kept, and those of bridges that still
// run: of seven started at once, whose emulators end once each bridge has
// made its log, each failure line names a log that is there. The names
// sort as the starts were made, also when the time zone changes between
// them (as the clock does in autumn).
TEST_F(BridgeProgram, TheLogsOfTheLastStartsAndOfRunningBridgesAreKept) {
    const std::string logs = ".local/state/kelmor";
    makeExecutable(temp, "bin/dosbox", "#!/bin/sh\necho \"started in $TZ\"\n");
    run({"-noconsole"}, "", {{"TZ", "UTC-14"}});
    run({"-noconsole"}, "", {{"TZ", "UTC+12"}});
    EXPECT_NE(temp.read(logs + "/" + temp.names(logs).back()).find("started in UTC+12"),
              std::string::npos);

    constexpr int kAtOnce = 7;
    makeExecutable(
        temp, "bin/dosbox",
        "#!/bin/sh\n[ \"$1\" = --version ] && { echo 'DOSBox version 0.74-3'; exit 0; }\ni=0\n"
        "until [ -e \"$(echo \"$HOME\"/" +
            logs +
            "/dosbox-*-$PPID.log)\" ] || [ $i -ge 300 ]; do\n"
            "  /bin/sleep 0.05; i=$((i+1))\ndone\n"
            ": >\"$RECORD.logged.$$\"\n"
            "until set -- \"$RECORD\".logged.*; [ $# -ge " +
            std::to_string(kAtOnce) +
            " ] || [ $i -ge 600 ]; do\n"
            "  /bin/sleep 0.05; i=$((i+1))\ndone\n"
            "echo \"Exit to error: $# ran at once\"\nexit 1\n");
    std::vector<Outcome> outcomes(kAtOnce);
    std::vector<std::thread> starts;
    for (Outcome& outcome : outcomes) starts.emplace_back([&] { outcome = run({"-noconsole"}); });
    for (std::thread& start : starts) start.join();
    for (const Outcome& outcome : outcomes) {
        const std::string said = "all it printed is in ";
        const std::size_t at = outcome.errors.find(said);
        ASSERT_NE(at, std::string::npos) << outcome.errors;
        const std::size_t from = at + said.size();
        const std::string log = outcome.errors.substr(from, outcome.errors.find('\n', from) - from);
        EXPECT_TRUE(std::filesystem::exists(log)) << log;
        EXPECT_NE(
            temp.read(log.substr(temp.path().size() + 1)).find("Exit to error: 7 ran at once"),
            std::string::npos);
    }
    run({"-noconsole"});
    EXPECT_EQ(temp.names(logs).size(), kKeptStartLogs);
}

// A private folder that is not the user's own sends the copy to the cache folder.
TEST_F(BridgeProgram, AnUnusablePrivateFolderIsPassedOver) {
    const std::string folder = temp.path("runtime/kelmor-" + std::to_string(geteuid()));
    ASSERT_EQ(symlink(temp.path("Kelmor app").c_str(), folder.c_str()), 0);
    const Outcome outcome = run({"-noconsole"});
    EXPECT_EQ(outcome.exitCode, 7) << outcome.errors;
    EXPECT_EQ(temp.read("record.args"), "-conf\n" + copyOf("dosbox.conf", ".cache/kelmor") + "\n");
}

}  // namespace
}  // namespace kelmor::bridge
