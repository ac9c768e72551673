// SPDX-License-Identifier: GPL-3.0-or-later
#include "kit_launcher/kit_launch.hpp"

#include "core/cd_probes.hpp"
#include "core/dosbox_config.hpp"
#include "core/failure.hpp"
#include "core/host.hpp"
#include "core/image_mount.hpp"
#include "core/installation_marker.hpp"
#include "core/kit_emulator.hpp"
#include "core/map_editor.hpp"
#include "core/program_identity.hpp"
#include "core/settings_contract.hpp"
#include "core/unhandled_error.hpp"
#include "kit_launcher/kit_manifest.hpp"
#include "kit_launcher/kit_texts.hpp"

namespace kelmor {

KitLauncher::KitLauncher(Host& host)
    : host_(host),
      applicationFolder_(host.applicationFolder()),
      workingText_(configurationTemplate(TemplateVariant::Kit)) {}

void KitLauncher::LaunchKit() {
    ZjisteniCDMechaniky();
    CopyProgress();
    render();
    detectLanguage();
    prepareImageMount(host_, cd_);
    appendAutoexecLines();
    writeConfiguration(host_, workingText_);
    startEmulator();
    host_.endProcess(0);
}

void KitLauncher::ZjisteniCDMechaniky() {
    const std::string folder = lastHitFolder(host_, kitCdProbes());
    if (folder.empty()) {
        host_.messageBox(noCdMessage(host_, kNoKitCdMessage), MessageStyle::Warning,
                         std::string(kKitMessageTitle));
        host_.endProcess(0);
    }
    cd_ = locateCd(host_, folder);
}

void KitLauncher::CopyProgress() {
    if (kitIsInstalled(host_)) return;
    installKitFiles(applicationFolder_ + "\\");
    // The marker vouches for the files: it goes to disk after them, and not
    // at all when they cannot be made to stay.
    if (dropFailure([&] { host_.flushWrites(applicationFolder_); })) writeMarker();
    openMapEditorWhenAsked();
}

// The marker is written only behind a finished installation: a file that
// cannot be written, or read from the CD, ends it, and the next run installs
// again.
void KitLauncher::installKitFiles(const std::string& target) {
    std::string message;
    try {
        writeVendorIni();
        copyKitFiles(target);
        return;
    } catch (const std::system_error& failure) {
        message = unfinishedInstallMessage(failure);
    }
    host_.messageBox(message, MessageStyle::Warning, std::string(kKitLauncherIdentity.title));
    host_.endProcess(kUnfinishedInstallExitCode);
}

void KitLauncher::writeVendorIni() {
    host_.replaceFile(applicationFolder_ + std::string(kVendorIniSuffix),
                      vendorIniText(applicationFolder_));
}

void KitLauncher::copyKitFiles(const std::string& target) {
    const std::string source = cd_.folder + "\\";
    for (const KitCopy& copy : kitCopyList())
        copyKitFile(source + copy.source, target + copy.destination);
}

// A file that is not on the CD is dropped on its own: one missing file stops
// nothing but its own copy. So only while the CD is still in its drive:
// once it is taken out every file is missing, and that is a CD that cannot
// be read.
void KitLauncher::copyKitFile(const std::string& source, const std::string& destination) {
    try {
        host_.copyFile(source, destination);
    } catch (const SourceFailure& failure) {
        if (!namesNoFile(failure.code()) || !cdIsInItsDrive()) throw;
    }
}

bool KitLauncher::cdIsInItsDrive() {
    return host_.fileExist(cd_.folder + std::string(kKitProgramSuffix));
}

// What failed and what to do: the CD cannot be read, the disk is full, or
// the error itself.
std::string KitLauncher::unfinishedInstallMessage(const std::system_error& failure) const {
    const std::string report = unhandledErrorReport(failure);
    if (dynamic_cast<const SourceFailure*>(&failure) != nullptr) return unreadableCdMessage(report);
    if (meansDiskFull(failure.code()))
        return fullDiskMessage(host_.shownPath(applicationFolder_), report);
    return unwrittenFileMessage(report);
}

// The marker is a copy of "TEST.FUJ"; the launcher never writes the marker
// text itself.
void KitLauncher::writeMarker() {
    dropFailure([&] {
        host_.copyFile(applicationFolder_ + std::string(kMarkerTemplateSuffix),
                       applicationFolder_ + std::string(kMarkerFileSuffix));
    });
}

// Only an installation run looks at the command line; "mapper" (exactly)
// opens the map editor instead of the kit, and dosbox.conf is not written.
void KitLauncher::openMapEditorWhenAsked() {
    if (host_.commandLine() != kMapperArgument) return;
    openMapEditor(host_, applicationFolder_ + std::string(kKitMapEditorSuffix),
                  kKitLauncherIdentity.title);
    host_.endProcess(0);
}

// Runs over the template alone, before the autoexec lines are appended.
void KitLauncher::render() { workingText_ = renderPlaceholders(host_, workingText_, kKitSettings); }

// All files are probed; the last one present wins.
void KitLauncher::detectLanguage() {
    for (const LanguageFile& file : kLanguageFiles)
        if (host_.fileExist(applicationFolder_ + std::string(file.suffix)))
            languageCode_ = file.code;
}

void KitLauncher::appendAutoexecLines() {
    workingText_ += kitAutoexecLines(cd_, applicationFolder_, languageCode_);
}

// Of the failures after the installation only this one is told as what to
// do: with DOSBox not started the player would be left with a bare error.
void KitLauncher::startEmulator() {
    if (const auto failure = failureOf([&] { kelmor::startEmulator(host_); })) {
        host_.messageBox(
            noEmulatorMessage(host_, "Kelmor Plix cannot start DOSBox, which runs the kit.",
                              "start Kelmor Plix again", *failure),
            MessageStyle::Warning, std::string(kKitLauncherIdentity.title));
        host_.endProcess(kEmulatorNotStartedExitCode);
    }
}

}  // namespace kelmor
