// SPDX-License-Identifier: GPL-3.0-or-later
// `dosbox` in the application folder: the launchers start it as
// "<application folder>\dosbox.exe -noconsole" in that folder, the map
// editor's start adding "-conf mapeditor.conf". It reads the configuration
// the emulator would read (the files named by -conf, else dosbox.conf
// there), maps the drive-letter paths of its MOUNT commands onto host
// folders through the user's drive map (a drive that holds a disc image is
// mounted with IMGMOUNT, and a cue sheet DOSBox could not mount as it is
// gets one of the bridge's own), writes the result to a private copy of this
// start's own and runs the host's emulator, given "-conf <copy>" in its
// place. The configuration files themselves are never changed. A drive whose
// image holds no disc stays as written, and one line says which image and
// why. The user's dosbox-user.conf beside the drive map, when there is one,
// is handed last.
//
// The emulator runs as the bridge's child: what it prints goes where it
// went before and into this start's log (posix_start_log.hpp), and when it
// ends with an error, or soon after printing a failure line, the user is
// told, with its last lines and where the log is. The bridge ends with the
// emulator's exit code (128 and the signal's number for a signal).
//
// Exit codes when it cannot start the emulator: 127 no emulator found,
// 126 the emulator found cannot be run, 1 anything else. Why goes to
// stderr; started from a desktop menu, where nobody reads stderr, it is
// also shown in a message box.
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "core/posix_files/posix_atomic_file.hpp"
#include "core/posix_files/posix_config_folder.hpp"
#include "core/ascii_text.hpp"
#include "core/linux_drives/linux_drives.hpp"
#include "core/linux_emulators/linux_emulator_choice.hpp"
#include "core/posix_files/posix_host_path.hpp"
#include "core/posix_files/posix_package_folder.hpp"
#include "core/emulator_configuration.hpp"
#include "dosbox_bridge/mount_check.hpp"
#include "dosbox_bridge/mount_translation.hpp"
#include "dosbox_bridge/posix_drive_mounts.hpp"
#include "dosbox_bridge/posix_emulator.hpp"
#include "dosbox_bridge/posix_emulator_run.hpp"
#include "dosbox_bridge/posix_emulator_setup.hpp"
#include "dosbox_bridge/posix_message.hpp"
#include "dosbox_bridge/posix_runtime_copy.hpp"
#include "dosbox_bridge/posix_start_log.hpp"

namespace {

using namespace kelmor;

// Set to the bridge's process id for the emulator it starts: a bridge that
// finds that id above itself was started by a bridge (a copy of it
// standing where the emulator should, or a wrapper that runs one) and stops
// instead of starting itself for ever.
constexpr const char* kHandOverVariable = "KELMOR_DOSBOX_BRIDGE";

// Whether a bridge started this one: the hand-over variable names this
// process or an ancestor, or an argument names a bridge's private copy (what
// a bridge hands on, also through a wrapper that clears the environment).
bool startedByABridge(int argc, char** argv) {
    const char* handedOver = std::getenv(kHandOverVariable);
    if (handedOver && bridge::isThisProcessOrAnAncestor(std::atol(handedOver))) return true;
    for (int i = 1; i + 1 < argc; ++i)
        if (equalIgnoringAsciiCase(argv[i], "-conf") && bridge::isRuntimeCopy(argv[i + 1]))
            return true;
    return false;
}

using bridge::say;

// The folder of the bridge's own program, where kelmor-message lies too.
std::string programFolder;

// Says why on stderr and ends with `code`; `box`, or else the same text, is
// shown in a message box as well when stderr is no terminal and there is a
// display.
[[noreturn]] void stop(int code, const std::string& text, const std::string& box = {}) {
    say(text);
    if (bridge::needsABox())
        bridge::showBox(programFolder,
                        box.empty() ? "The emulator cannot be started: " + text : box,
                        MessageStyle::Critical);
    std::exit(code);
}

constexpr const char* kInstallDosbox = "on Debian and Ubuntu: sudo apt install dosbox";

// This start's log; a missing one is said.
bridge::StartLog startLog() {
    bridge::StartLog log =
        bridge::StartLog::open(bridge::startLogFolder(), getpid(), std::time(nullptr));
    if (!log.whole()) say("no log of the emulator's output: " + log.failure());
    return log;
}

// The emulator started; a stop when it cannot be.
bridge::RunningEmulator started(const std::string& program,
                                const std::vector<std::string>& arguments) {
    try {
        return bridge::startEmulator(program, arguments);
    } catch (const std::system_error& failure) {
        stop(failure.code() == std::errc::no_such_file_or_directory ? 127 : 126,
             "cannot run " + program + ": " + std::strerror(failure.code().value()));
    }
}

// The drives the copies ask the emulator for, and the folder into which
// its shell writes those it refused (none where it could not be made).
struct MountCheck {
    std::optional<std::string> folder;
    std::vector<bridge::AskedMount> asked;
};

MountCheck startMountCheck() {
    try {
        return {bridge::makeRuntimeFolder(bridge::runtimeBases(), "mounts"), {}};
    } catch (const std::system_error& failure) {
        say(std::string("drives the emulator refuses cannot be told: ") + failure.what());
        return {};
    }
}

// The translated configuration, with the check of its mounts. A drive
// left as written (its image holds no disc) is known by its image.
std::string checkedMounts(const bridge::MountTranslation& translation,
                          const linux_drives::Drives& drives, MountCheck& check) {
    for (bridge::AskedMount mount : translation.mounts) {
        if (const auto held = drives.imageHolding(mount.source))
            mount = {mount.drive, held->image, true};
        check.asked.push_back(std::move(mount));
    }
    const auto drive = bridge::reportDrive(translation.mounts);
    const auto folder = check.folder ? bridge::mountArgument(*check.folder) : std::nullopt;
    if (!drive || !folder) return translation.text;
    return bridge::withMountCheck(translation, *drive, *folder);
}

// The drives the emulator refused to mount, and the check's folder gone.
std::vector<bridge::AskedMount> refusedMounts(const MountCheck& check) {
    if (!check.folder) return {};
    std::string report;
    try {
        report = posix_files::readWholeFile(
            posix_files::joinHostPath(*check.folder, std::string(bridge::kRefusedMountsFile)));
    } catch (const std::system_error&) {
    }
    bridge::removeRuntimeFolder(*check.folder);
    return bridge::refusedMounts(report, check.asked);
}

// Why the start failed: how the emulator ended, and the drives it refused.
std::optional<std::string> failureOf(const bridge::EmulatorRun& run,
                                     const std::vector<bridge::AskedMount>& refused) {
    auto failure = bridge::startFailure(run.end, run.output);
    if (refused.empty()) return failure;
    const std::string mounts = "could not mount " + bridge::describeMounts(refused);
    return failure ? *failure + ", and " + mounts : mounts;
}

// Runs the emulator, reports a start that failed, and returns the exit
// code the bridge ends with: the emulator's.
int runAndReport(const std::string& program, const std::vector<std::string>& arguments,
                 const MountCheck& check) {
    bridge::RunningEmulator emulator = started(program, arguments);
    // Made while the emulator starts; what it prints meanwhile waits in its pipes.
    bridge::StartLog log = startLog();
    // The bridge's lines go into it from now on, after those said before.
    bridge::sayAlsoInto([&log](std::string_view line) { log.write(line); });
    std::string command;
    for (const std::string& argument : arguments)
        command += (command.empty() ? "" : " ") + argument;
    log.write("Kelmor bridge: started " + command + "\n");
    const bridge::EmulatorRun run =
        bridge::finishEmulator(emulator, [&log](std::string_view piece) { log.write(piece); });
    const auto failure = failureOf(run, refusedMounts(check));
    log.write("Kelmor bridge: DOSBox " + failure.value_or("ended") + ".\n");
    bridge::sayAlsoInto({});
    const bridge::KeptOutput kept = log.finish();
    if (!failure) return run.end.exitCode;
    say(bridge::failureLine(*failure, kept));
    if (bridge::needsABox())
        bridge::showBox(programFolder,
                        bridge::failureReport(*failure, run.output.lastLines(), kept),
                        MessageStyle::Critical);
    return run.end.exitCode;
}

// The emulator the launchers start, and what it is; a stop when there is none.
linux_emulators::PresentEmulator chosenEmulator(const linux_drives::Drives& drives,
                                                const std::string& driveMapFile,
                                                const std::string& bridgeFile) {
    const std::string configured = drives.option("emulator").value_or("");
    auto chosen =
        linux_emulators::chooseEmulator(linux_emulators::emulatorSearch(configured, bridgeFile));
    if (chosen) return std::move(*chosen);
    const std::string lookedFor(linux_emulators::kEmulatorsLookedFor);
    if (!configured.empty())
        stop(127,
             "no emulator: emulator=" + configured + " in " + driveMapFile +
                 " is not an executable program",
             "The emulator that Kelmor Drives names cannot be run:\n\nemulator=" + configured +
                 "\n\nin " + driveMapFile +
                 ". Name DOSBox in the Emulator box of Kelmor Drives, or empty the box to start "
                 "the first DOSBox found (" +
                 lookedFor + "; to install DOSBox, " + kInstallDosbox + ").");
    stop(127,
         "no emulator: none found (" + lookedFor + "), and no emulator= in [options] of " +
             driveMapFile,
         "DOSBox is not installed, and the Kelmor kit needs it to run the game and the level "
         "editor. It looked for " +
             lookedFor + ".\n\nInstall DOSBox (" + kInstallDosbox +
             "), or name the emulator you have in the Emulator box of Kelmor Drives.");
}

// The user's own emulator settings (MIDI, scaler, keys), which dosbox.conf,
// written anew at every launch, cannot keep: a later -conf is applied over
// an earlier one, so they win over the kit's. Empty when there are none.
std::string userConfiguration() {
    std::string file = posix_files::joinHostPath(
        posix_files::kitConfigFolder(posix_files::userConfigHome()), "dosbox-user.conf");
    if (std::error_code ignored; !std::filesystem::is_regular_file(file, ignored)) file.clear();
    return file;
}

// What this start hands the emulator, beside the configurations' copies.
struct Start {
    const linux_drives::Drives& drives;
    std::string userConfiguration;
    bridge::EmulatorSetup setup;
    MountCheck mountCheck;
};

// A configuration file the emulator would read: its name and text. A bare
// name is a file of the working folder in any letter case, as the launchers
// find it when they write it. Nothing for a file that is not there; a stop
// when it cannot be read.
struct ConfigurationFile {
    std::string name;
    std::string text;
};

std::optional<ConfigurationFile> readConfiguration(const std::string& file) {
    std::optional<std::string> name = file;
    std::error_code lookUp;
    if (file.find('/') == std::string::npos)
        name = posix_files::matchFolderEntry(".", file, lookUp);
    try {
        if (!name) throw std::system_error(lookUp, file);
        std::string text = posix_files::readWholeFile(*name);
        return ConfigurationFile{std::move(*name), std::move(text)};
    } catch (const std::system_error& failure) {
        if (failure.code() == std::errc::no_such_file_or_directory) return std::nullopt;
        stop(1, failure.what());
    }
}

// A configuration with the paths of its MOUNT lines mapped; each problem
// with them is said.
bridge::MountTranslation translatedMounts(const std::string& configuration, const Start& start) {
    std::vector<std::string> imageProblems;
    auto translation = bridge::translateMountPaths(configuration, [&](std::string_view drivePath) {
        return bridge::hostMount(start.drives, start.setup.dialect, drivePath, imageProblems);
    });
    for (const std::string& problem : imageProblems) say(problem);
    for (const std::string& problem : translation.problems) say(problem);
    return translation;
}

// The private copy written for the configuration at `path`; a stop when it
// cannot be.
std::string writtenCopy(const std::string& path, const std::string& copy) {
    try {
        return bridge::writeRuntimeCopy(bridge::runtimeBases(), path, copy);
    } catch (const std::system_error& failure) {
        stop(1, failure.what(),
             std::string("DOSBox cannot be started: its copy of the configuration cannot be "
                         "written.\n\n") +
                 failure.what() +
                 "\n\nMake that folder writable, or free space on its disk, and start again.");
    }
}

// A configuration file translated into its private copy. A file that is
// not there is passed on as named: without dosbox.conf the emulator starts
// as it would on its own.
std::optional<std::string> copyOf(const std::string& file, Start& start) {
    const auto configuration = readConfiguration(file);
    if (!configuration) return std::nullopt;
    const bridge::MountTranslation translation = translatedMounts(configuration->text, start);
    const std::string path = posix_files::realHostPath(configuration->name).value_or("");
    if (path.empty()) stop(1, file + ": " + std::strerror(errno));
    return writtenCopy(
        path, configurationInDialect(checkedMounts(translation, start.drives, start.mountCheck),
                                     start.setup.dialect, start.setup.added));
}

// The emulator's command line: its program, the setup's arguments, the
// bridge's own with each configuration replaced by its copy, and the
// user's own configuration last.
std::vector<std::string> emulatorCommand(const std::string& program, int argc, char** argv,
                                         Start& start) {
    std::vector<std::string> command = bridge::emulatorArguments(
        std::vector<std::string>(argv + 1, argv + argc),
        [&start](const std::string& file) { return copyOf(file, start); });
    if (!start.userConfiguration.empty())
        command.insert(command.end(), {"-conf", start.userConfiguration});
    command.insert(command.begin(), start.setup.arguments.begin(), start.setup.arguments.end());
    command.insert(command.begin(), program);
    return command;
}

}  // namespace

int main(int argc, char** argv) {
    // The bridge lies in the application folder, beside the images there (or
    // in the package's folder, which serves the user's own).
    const std::string bridgeFile = posix_files::realHostPath("/proc/self/exe").value_or("");
    programFolder = posix_files::runningApplicationFolder();
    if (startedByABridge(argc, argv))
        stop(127,
             "the emulator found is this bridge again (a copy of it, or a program that "
             "runs one); name the real one with emulator= in [options] of the drive map");

    const std::string driveMapFile =
        posix_files::joinHostPath(posix_files::kitConfigFolder(posix_files::userConfigHome()),
                                  linux_drives::kDriveMapFileName);
    const linux_drives::Drives drives({programFolder, driveMapFile});
    const linux_emulators::PresentEmulator emulator =
        chosenEmulator(drives, driveMapFile, bridgeFile);
    const std::string user = userConfiguration();
    Start start{drives, user, bridge::emulatorSetup(emulator.identity, user), startMountCheck()};
    const std::vector<std::string> command = emulatorCommand(emulator.path, argc, argv, start);

    setenv(kHandOverVariable, std::to_string(getpid()).c_str(), 1);
    std::fflush(nullptr);
    return runAndReport(emulator.path, command, start.mountCheck);
}
