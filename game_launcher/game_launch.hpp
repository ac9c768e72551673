// SPDX-License-Identifier: GPL-3.0-or-later
// The game launcher's whole work: find the game CD, write dosbox.conf,
// prepare the intro file, start DOSBox, end.
#pragma once

#include <string>

#include "core/cd_search.hpp"

namespace kelmor {

class Host;

inline constexpr std::string_view kGameIniSuffix = "\\KELMOR.INI";
inline constexpr std::string_view kSaveFolderSuffix = "\\SAVEGAME";
inline constexpr std::string_view kNoGameCdMessage = "Please insert Kelmor's CD-ROM and try again.";
inline constexpr std::string_view kGameMessageTitle = "Kelmor";

// The autoexec lines that mount the CD and the save folder and start the game.
std::string gameAutoexecEchoLines();
std::string gameAutoexecLaunchLines(const CdLocation& cd, const std::string& applicationFolder);

class GameLauncher {
public:
    explicit GameLauncher(Host& host);

    // Runs the launch sequence once; it ends the process in every outcome.
    void run();

    const CdLocation& cd() const { return cd_; }

private:
    void deleteGameIni();
    void findGameCd();
    void appendAutoexecLines();
    void render();
    void writeConfiguration();
    void prepareIntroFile();
    void startEmulator();
    std::string introSetting();

    Host& host_;
    std::string applicationFolder_;
    CdLocation cd_;
    std::string workingText_;  // the configuration as it is built
};

}  // namespace kelmor
