// SPDX-License-Identifier: GPL-3.0-or-later
// _KelmorPlix.exe on Windows: the kit launcher's window over the Win32 host.
#include <windows.h>

#include "core/application_folder.hpp"
#include "core/program_identity.hpp"
#include "core/unhandled_error.hpp"
#include "core/win32/win32_host.hpp"
#include "core/win32/win32_launcher_window.hpp"
#include "kit_launcher/kit_launch.hpp"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    using namespace kelmor;
    win32::Win32Host host;
    refuseUnusableApplicationFolder(host, kKitLauncherIdentity.title);
    KitLauncher launcher(host);
    const win32::LauncherLook look{.background = L"KELPLIX_BACKGROUND_PNG",
                                   .icon = L"KELPLIX_ICON_BMP"};
    // A failure that the sequence does not trap is reported and ends the
    // process inside the tick: the Windows error number and its description.
    return win32::runLauncherWindow(host, kKitWindow, look, [&] {
        runReportingUnhandledErrors(host, kKitLauncherIdentity.title,
                                    [&] { launcher.LaunchKit(); });
    });
}
