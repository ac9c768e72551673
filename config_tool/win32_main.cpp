// SPDX-License-Identifier: GPL-3.0-or-later
// _Configuration.exe on Windows: the configuration dialog over the Win32 host;
// `_Configuration.exe kel1` shows the game's settings.
#include <windows.h>

#include "config_tool/configuration_form.hpp"
#include "config_tool/win32_configuration_view.hpp"
#include "core/win32/win32_host.hpp"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    kelmor::win32::Win32Host host;
    // "kel1" opens the game's settings, anything else the kit's.
    return kelmor::win32::runConfigurationDialog(
        host, kelmor::configurationForm(host.commandLine()), L"CONFIGURATION_ICON_BMP");
}
