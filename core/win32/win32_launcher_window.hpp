// SPDX-License-Identifier: GPL-3.0-or-later
// The launcher windows on Win32: a fixed window of the given look, centred in
// twips by the display's own scale, shown, and a timer whose first tick runs
// the program's sequence once.
#pragma once

#include <functional>

#include "core/launcher_window.hpp"

namespace kelmor::win32 {

class Win32Host;

struct LauncherLook {
    const wchar_t* background = nullptr;  // RCDATA picture drawn unscaled, or none
    const wchar_t* icon = nullptr;        // the program's icon resource
    int iconSize = 32;
    const ControlSpec* picture = nullptr;  // where the icon also shows inside, or nowhere
    const ControlSpec* label = nullptr;    // a label, or none
    const FontSpec* labelFont = nullptr;
};

// Shows the window and runs its message loop; the tick runs once and is
// expected to end the process. The host's message boxes belong to the window.
int runLauncherWindow(Win32Host& host, const WindowSpec& spec, const LauncherLook& look,
                      std::function<void()> tick);

}  // namespace kelmor::win32
