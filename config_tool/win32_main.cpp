// _Configuration.exe on Windows: the configuration dialog over the Win32 host.
#include <windows.h>

#include "config_tool/win32_configuration_view.hpp"
#include "core/win32/win32_host.hpp"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    kelmor::win32::Win32Host host;
    return kelmor::win32::runConfigurationDialog(host, L"CONFIGURATION_ICON_BMP");
}
