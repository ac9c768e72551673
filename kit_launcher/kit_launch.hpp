// SPDX-License-Identifier: GPL-3.0-or-later
// The kit launcher's whole work: find the kit CD, install the kit's data on
// the first run (or open the map editor when asked to), write dosbox.conf,
// start DOSBox, end.
#pragma once

#include <string>
#include <system_error>

#include "core/cd_search.hpp"

namespace kelmor {

class Host;

// The end of a run whose installation could not finish: a failure, as any
// run that starts nothing because something failed (1); 2 stays the
// refusal of an application folder the programs cannot run from.
inline constexpr int kUnfinishedInstallExitCode = 1;

class KitLauncher {
public:
    explicit KitLauncher(Host& host);

    // Runs the launch sequence once; it ends the process in every outcome.
    // An installation that cannot finish (a file that cannot be written, or
    // read from the CD) is told in a message, and the process ends without
    // the marker; only a file that is not on the CD is dropped. An emulator
    // that cannot be started is told in a message that says what to do, and
    // the process ends with kEmulatorNotStartedExitCode. Else nothing after
    // the installation is trapped: a std::system_error leaves this function
    // and nothing behind the failing step runs.
    void LaunchKit();

    const std::string& CdFolder() const { return cd_.folder; }
    const std::string& CdRoot() const { return cd_.root; }
    const std::string& CdLetter() const { return cd_.letter; }
    const std::string& LanguageCode() const { return languageCode_; }

private:
    // Finds the kit CD, or tells the user to insert it and ends the process.
    void ZjisteniCDMechaniky();
    // Installs the kit's data unless the marker file says it is installed,
    // flushes it to disk, then writes the marker; ends the process in mapper
    // mode, and where the installation cannot finish.
    void CopyProgress();
    void installKitFiles(const std::string& target);
    void writeVendorIni();
    void copyKitFiles(const std::string& target);
    void copyKitFile(const std::string& source, const std::string& destination);
    bool cdIsInItsDrive();
    std::string unfinishedInstallMessage(const std::system_error& failure) const;
    void writeMarker();
    void openMapEditorWhenAsked();

    void render();
    void detectLanguage();
    void appendAutoexecLines();
    void startEmulator();

    Host& host_;
    std::string applicationFolder_;
    CdLocation cd_;
    std::string languageCode_;
    std::string workingText_;  // the configuration as it is built
};

}  // namespace kelmor
