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

#include "core/posix/files/atomic_file.hpp"
#include "core/posix/files/config_folder.hpp"
#include "core/image_check.hpp"
#include "core/ascii_text.hpp"
#include "core/linux_drives/drives.hpp"
#include "core/linux_emulators/emulator_choice.hpp"
#include "core/posix/files/host_path.hpp"
#include "core/posix/files/package_folder.hpp"
#include "core/emulator_configuration.hpp"
#include "dosbox_bridge/mount_check.hpp"
#include "dosbox_bridge/mount_translation.hpp"
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
        bridge::showBox(programFolder, box.empty() ? "The emulator cannot be started: " + text : box,
                        MessageStyle::Critical);
    std::exit(code);
}

constexpr const char* kInstallDosbox = "on Debian and Ubuntu: sudo apt install dosbox";

// What a MOUNT's drive-letter path stands for: the drive's disc image when
// it holds one that can be read (mounted whole, from its root), else its
// folder; nothing for a drive that is not mapped or an image without a disc,
// of which a problem line tells.
std::optional<bridge::HostMount> hostMount(const posix::Drives& drives, EmulatorDialect emulator,
                                           std::string_view drivePath,
                                           std::vector<std::string>& problems) {
    const auto path = posix::splitWindowsPath(drivePath);
    if (const auto image = path ? drives.map().image(path->drive) : std::nullopt) {
        if (!path->components.empty()) {
            problems.push_back("cannot mount " + std::string(drivePath) + ": " + path->drive +
                               ": is the disc image " + *image + ", mounted only whole");
            return std::nullopt;
        }
        const ImageCheck check = checkDiscImage(drives.imageFiles(), *image, emulator);
        const std::string drive = std::string(1, path->drive) + ": ";
        if (!check.noDisc.empty()) {
            problems.push_back(drive + "holds no disc, its image cannot be read: " + *image + ": " +
                               check.noDisc);
            return std::nullopt;
        }
        if (!check.sheet) return bridge::HostMount{*image, true};
        // The emulator mounts no sheet with a file it cannot find or read:
        // it gets one that names the files as they are spelled, declares
        // raw CD audio BINARY, and leaves out what it cannot play.
        for (const MendedTracks& mended : check.mended)
            problems.push_back(drive + describeMended(mended, *image));
        if (!check.leftOut.empty())
            problems.push_back(drive + describeLeftOut(check, *image));
        try {
            const std::string sheet =
                bridge::writeRuntimeCopy(bridge::runtimeBases(), *image, *check.sheet, bridge::kCueSheetCopy);
            return bridge::HostMount{sheet, true, *image};
        } catch (const std::system_error& failure) {
            problems.push_back(drive + "its sheet as DOSBox can mount it cannot be written: " +
                               std::string(failure.what()));
            return bridge::HostMount{*image, true};
        }
    }
    auto folder = drives.hostPath(std::string(drivePath));
    if (!folder) return std::nullopt;
    return bridge::HostMount{std::move(*folder), false};
}

// This start's log; a missing one is said.
bridge::StartLog startLog() {
    bridge::StartLog log = bridge::StartLog::open(bridge::startLogFolder(), getpid(), std::time(nullptr));
    if (!log.whole()) say("no log of the emulator's output: " + log.failure());
    return log;
}

// The emulator started; a stop when it cannot be.
bridge::RunningEmulator started(const std::string& program, const std::vector<std::string>& arguments) {
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
std::string checkedMounts(const bridge::MountTranslation& translation, const posix::Drives& drives,
                          MountCheck& check) {
    for (bridge::AskedMount mount : translation.mounts) {
        const auto path = posix::splitWindowsPath(mount.source);
        if (const auto image = path ? drives.map().image(path->drive) : std::nullopt)
            mount = {mount.drive, *image, true};
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
        report = posix::readWholeFile(posix::joinHostPath(*check.folder, std::string(bridge::kRefusedMountsFile)));
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
    for (const std::string& argument : arguments) command += (command.empty() ? "" : " ") + argument;
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
        bridge::showBox(programFolder, bridge::failureReport(*failure, run.output.lastLines(), kept),
                        MessageStyle::Critical);
    return run.end.exitCode;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string pid = std::to_string(getpid());
    // The bridge lies in the application folder, beside the images there (or
    // in the package's folder, which serves the user's own).
    const std::string bridgeFile = posix::realHostPath("/proc/self/exe").value_or("");
    programFolder = posix::runningApplicationFolder();
    if (startedByABridge(argc, argv))
        stop(127, "the emulator found is this bridge again (a copy of it, or a program that "
                  "runs one); name the real one with emulator= in [options] of the drive map");

    const std::string driveMapFile = posix::joinHostPath(
        posix::kitConfigFolder(posix::userConfigHome()), posix::kDriveMapFileName);
    const posix::Drives drives({programFolder, driveMapFile});

    // The emulator the launchers start, and what it is.
    const std::string configured = drives.map().option("emulator").value_or("");
    const auto chosen = posix::chooseEmulator(posix::emulatorSearch(configured, bridgeFile));
    if (!chosen) {
        const std::string lookedFor(posix::kEmulatorsLookedFor);
        if (!configured.empty())
            stop(127,
                 "no emulator: emulator=" + configured + " in " + driveMapFile +
                     " is not an executable program",
                 "The emulator that Kelmor Drives names cannot be run:\n\nemulator=" + configured +
                     "\n\nin " + driveMapFile +
                     ". Name DOSBox in the Emulator box of Kelmor Drives, or empty the box to start "
                     "the first DOSBox found (" + lookedFor + "; to install DOSBox, " +
                     kInstallDosbox + ").");
        stop(127,
             "no emulator: none found (" + lookedFor + "), and no emulator= in [options] of " +
                 driveMapFile,
             "DOSBox is not installed, and the Kelmor kit needs it to run the game and the level "
             "editor. It looked for " + lookedFor + ".\n\nInstall DOSBox (" + kInstallDosbox +
                 "), or name the emulator you have in the Emulator box of Kelmor Drives.");
    }
    // The user's own emulator settings (MIDI, scaler, keys), which dosbox.conf,
    // written anew at every launch, cannot keep: a later -conf is applied
    // over an earlier one, so they win over the kit's.
    std::string userConfiguration = posix::joinHostPath(
        posix::kitConfigFolder(posix::userConfigHome()), "dosbox-user.conf");
    if (std::error_code ignored; !std::filesystem::is_regular_file(userConfiguration, ignored))
        userConfiguration.clear();
    const bridge::EmulatorSetup setup = bridge::emulatorSetup(chosen->identity, userConfiguration);
    MountCheck mountCheck = startMountCheck();

    // A configuration file translated into its private copy. A bare name is
    // a file of the working folder in any letter case, as the launchers find
    // it when they write it. A file that is not there is passed on as named:
    // without dosbox.conf the emulator starts as it would on its own.
    const auto copyOf = [&](const std::string& file) -> std::optional<std::string> {
        std::optional<std::string> name = file;
        std::error_code lookUp;
        if (file.find('/') == std::string::npos) name = posix::matchFolderEntry(".", file, lookUp);
        std::string configuration;
        try {
            if (!name) throw std::system_error(lookUp, file);
            configuration = posix::readWholeFile(*name);
        } catch (const std::system_error& failure) {
            if (failure.code() == std::errc::no_such_file_or_directory) return std::nullopt;
            stop(1, failure.what());
        }
        std::vector<std::string> imageProblems;
        const auto translation =
            bridge::translateMountPaths(configuration, [&](std::string_view drivePath) {
                return hostMount(drives, setup.dialect, drivePath, imageProblems);
            });
        for (const std::string& problem : imageProblems) say(problem);
        for (const std::string& problem : translation.problems) say(problem);
        const std::string path = posix::realHostPath(*name).value_or("");
        if (path.empty()) stop(1, file + ": " + std::strerror(errno));
        const std::string copy = configurationInDialect(checkedMounts(translation, drives, mountCheck),
                                                        setup.dialect, setup.added);
        try {
            return bridge::writeRuntimeCopy(bridge::runtimeBases(), path, copy);
        } catch (const std::system_error& failure) {
            stop(1, failure.what(),
                 std::string("DOSBox cannot be started: its copy of the configuration cannot be "
                             "written.\n\n") +
                     failure.what() +
                     "\n\nMake that folder writable, or free space on its disk, and start "
                     "again.");
        }
    };
    std::vector<std::string> emulatorArguments =
        bridge::emulatorArguments(std::vector<std::string>(argv + 1, argv + argc), copyOf);
    if (!userConfiguration.empty())
        emulatorArguments.insert(emulatorArguments.end(), {"-conf", userConfiguration});
    emulatorArguments.insert(emulatorArguments.begin(), setup.arguments.begin(), setup.arguments.end());

    emulatorArguments.insert(emulatorArguments.begin(), chosen->path);
    setenv(kHandOverVariable, pid.c_str(), 1);
    std::fflush(nullptr);
    return runAndReport(chosen->path, emulatorArguments, mountCheck);
}
