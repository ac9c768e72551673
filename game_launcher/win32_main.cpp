// KELMOR.EXE on Windows: the game launcher's window over the Win32 host.
#include <windows.h>

#include "core/win32/win32_host.hpp"
#include "core/win32/win32_launcher_window.hpp"
#include "game_launcher/game_launch.hpp"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    using namespace kelmor;
    win32::Win32Host host;
    GameLauncher launcher(host);
    const win32::LauncherLook look{.background = L"KELMOR_BACKGROUND_BMP",
                                   .icon = L"KELMOR_ICON_BMP"};
    return win32::runLauncherWindow(host, kGameWindow, look, [&] { launcher.run(); });
}
