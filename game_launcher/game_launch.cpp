// SPDX-License-Identifier: GPL-3.0-or-later
#include "game_launcher/game_launch.hpp"

#include "core/cd_probes.hpp"
#include "core/dosbox_config.hpp"
#include "core/failure.hpp"
#include "core/host.hpp"
#include "core/image_mount.hpp"
#include "core/settings_contract.hpp"
#include "core/text.hpp"
#include "core/unhandled_error.hpp"

namespace kelmor {
namespace {

constexpr int kEchoSpacerLines = 16;

std::string saveFolder(const std::string& applicationFolder) {
    return applicationFolder + std::string(kSaveFolderSuffix);
}

}  // namespace

std::string gameAutoexecEchoLines() {
    std::string lines = "ECHO ON";
    for (int i = 0; i < kEchoSpacerLines; ++i) lines.append(kCrLf).append("ECHO -");
    return lines;
}

std::string gameAutoexecLaunchLines(const CdLocation& cd, const std::string& applicationFolder) {
    const std::string crlf(kCrLf);
    const std::string cdMount =
        cd.image.empty() ? "MOUNT " + cd.letter + " " + cd.root + " -t cdrom -usecd 0 -ioctl"
                         : imageMountLines("IMGMOUNT", "REM", cd);
    return crlf + cdMount + crlf + "MOUNT B " + mountFolderArgument(saveFolder(applicationFolder)) +
           crlf + "ECHO ON" + crlf + cd.letter + ":" + crlf + "CD " + cd.folder + crlf +
           "KELMOR.EXE save=B:" + crlf + "exit";
}

GameLauncher::GameLauncher(Host& host)
    : host_(host),
      applicationFolder_(host.applicationFolder()),
      workingText_(configurationTemplate(TemplateVariant::Game)) {}

void GameLauncher::run() {
    deleteGameIni();
    findGameCd();
    if (cd_.folder.empty()) {
        host_.messageBox(noCdMessage(host_, kNoGameCdMessage), MessageStyle::Plain,
                         std::string(kGameMessageTitle));
        host_.endProcess(0);
    }
    prepareImageMount(host_, cd_);
    appendAutoexecLines();
    render();
    writeConfiguration();
    prepareIntroFile();
    startEmulator();
    host_.endProcess(0);
}

void GameLauncher::deleteGameIni() {
    dropFailure([&] { host_.deleteFile(applicationFolder_ + std::string(kGameIniSuffix)); });
}

void GameLauncher::findGameCd() { cd_ = locateCd(host_, lastHitFolder(host_, gameCdProbes())); }

void GameLauncher::appendAutoexecLines() {
    workingText_ += gameAutoexecEchoLines();
    workingText_ += gameAutoexecLaunchLines(cd_, applicationFolder_);
}

// Runs over the whole working text, the autoexec lines included.
void GameLauncher::render() {
    workingText_ = renderPlaceholders(host_, workingText_, kGameSettings);
}

// DOSBox started on a configuration that was not written would run an
// older one, or none: the player is told instead, and nothing starts.
void GameLauncher::writeConfiguration() {
    if (const auto failure = failureOf([&] { kelmor::writeConfiguration(host_, workingText_); })) {
        host_.messageBox(
            "Kelmor cannot write dosbox.conf, which tells DOSBox how to run the game, so it "
            "does not start DOSBox.\n\n" +
                unhandledErrorReport(*failure),
            MessageStyle::Warning, std::string(kGameMessageTitle));
        host_.endProcess(kEmulatorNotStartedExitCode);
    }
}

std::string GameLauncher::introSetting() {
    return storedSetting(host_, kGameSettings, kIntroSetting);
}

// "0" deletes the save folder's intro file; "1" copies the CD's one into it
// unless one is there already. Any other value leaves it alone.
void GameLauncher::prepareIntroFile() {
    const std::string saveIntro = saveFolder(applicationFolder_) + "\\INTRO.DAT";
    if (introSetting() == kIntroOff) dropFailure([&] { host_.deleteFile(saveIntro); });
    if (host_.fileExist(saveFolder(applicationFolder_) + "\\intro.dat")) return;
    if (introSetting() == kIntroOn)
        dropFailure([&] { host_.copyFile(cd_.folder + "\\INTRO.DAT", saveIntro); });
}

// Of every other failure of the sequence only this one is told: with DOSBox
// not started the player would be left with nothing at all.
void GameLauncher::startEmulator() {
    try {
        kelmor::startEmulator(host_);
    } catch (const std::system_error& failure) {
        host_.messageBox(
            noEmulatorMessage(host_, "Kelmor cannot start DOSBox, which runs the game.",
                              "start Kelmor again", failure),
            MessageStyle::Warning, std::string(kGameMessageTitle));
        host_.endProcess(kEmulatorNotStartedExitCode);
    }
}

}  // namespace kelmor
