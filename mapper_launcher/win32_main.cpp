// SPDX-License-Identifier: GPL-3.0-or-later
// _Mapper.exe on Windows: the mapper launcher's wait window over the Win32 host.
#include <windows.h>

#include "core/application_folder.hpp"
#include "core/program_identity.hpp"
#include "core/unhandled_error.hpp"
#include "core/win32/win32_host.hpp"
#include "core/win32/win32_launcher_window.hpp"
#include "mapper_launcher/mapper_launch.hpp"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    using namespace kelmor;
    win32::Win32Host host;
    refuseUnusableApplicationFolder(host, kMapperLauncherIdentity.title);
    MapperLauncher launcher(host);
    const win32::LauncherLook look{.icon = L"MAPPER_ICON_BMP",
                                   .iconSize = 64,
                                   .picture = &kMapperImage1,
                                   .label = &kMapperLblStatus,
                                   .labelFont = &kMapperLblStatusFont};
    // A map editor that nothing can start is told by the launcher itself;
    // anything else that goes wrong is reported and ends the process inside
    // the tick.
    return win32::runLauncherWindow(host, kMapperWindow, look, [&] {
        runReportingUnhandledErrors(host, kMapperLauncherIdentity.title, [&] { launcher.run(); });
    });
}
