// SPDX-License-Identifier: GPL-3.0-or-later
// KELMOR.EXE on Windows: the game launcher's window over the Win32 host.
#include <windows.h>

#include "core/application_folder.hpp"
#include "core/program_identity.hpp"
#include "core/unhandled_error.hpp"
#include "core/win32/win32_host.hpp"
#include "core/win32/win32_launcher_window.hpp"
#include "game_launcher/game_launch.hpp"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    using namespace kelmor;
    win32::Win32Host host;
    refuseUnusableApplicationFolder(host, kGameLauncherIdentity.title);
    GameLauncher launcher(host);
    const win32::LauncherLook look{.background = L"KELMOR_BACKGROUND_PNG",
                                   .icon = L"KELMOR_ICON_BMP"};
    // Host failures are dropped step by step; anything else that goes wrong
    // is reported and ends the process inside the tick.
    return win32::runLauncherWindow(host, kGameWindow, look, [&] {
        runReportingUnhandledErrors(host, kGameLauncherIdentity.title, [&] { launcher.run(); });
    });
}
