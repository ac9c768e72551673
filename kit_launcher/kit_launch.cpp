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
    startEmulator(host_);
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

// Every statement is dropped on its own when it fails: one missing file
// stops nothing but its own copy.
void KitLauncher::CopyProgress() {
    if (kitIsInstalled(host_)) return;
    const std::string target = applicationFolder_ + "\\";
    writeVendorIni();
    copyKitFiles(target);
    // The marker vouches for the files: it goes to disk after them, and not
    // at all when they cannot be made to stay.
    if (dropFailure([&] { host_.flushWrites(applicationFolder_); })) writeMarker();
    openMapEditorWhenAsked();
}

void KitLauncher::writeVendorIni() {
    const std::string path = applicationFolder_ + std::string(kVendorIniSuffix);
    dropFailure([&] { host_.replaceFile(path, vendorIniText(applicationFolder_)); });
}

void KitLauncher::copyKitFiles(const std::string& target) {
    const std::string source = cd_.folder + "\\";
    for (const KitCopy& copy : kitCopyList())
        dropFailure([&] { host_.copyFile(source + copy.source, target + copy.destination); });
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
void KitLauncher::render() {
    workingText_ = renderPlaceholders(host_, workingText_, std::string(kKitSettings));
}

// All files are probed; the last one present wins.
void KitLauncher::detectLanguage() {
    for (const LanguageFile& file : kLanguageFiles)
        if (host_.fileExist(applicationFolder_ + std::string(file.suffix)))
            languageCode_ = file.code;
}

void KitLauncher::appendAutoexecLines() {
    workingText_ += kitAutoexecLines(cd_, applicationFolder_, languageCode_);
}

}  // namespace kelmor
