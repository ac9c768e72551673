// SPDX-License-Identifier: GPL-3.0-or-later
// The configuration dialog frmMain on Win32: a dialog whose controls sit at
// their twip positions at the display's resolution, widened where their
// captions need more room in the dialog's font, in tab order, so the
// dialog manager gives it the keyboard of every Windows dialog (Tab, the
// arrows within the option group, Space, Enter for cmdOk, Escape for
// cmdCancel). The clicks go to ConfigurationDialog.
#pragma once

namespace kelmor {
struct ConfigurationForm;
}

namespace kelmor::win32 {

class Win32Host;

// Shows the dialog of that form with the icon resource of that name and runs
// it until the dialog ends the process.
int runConfigurationDialog(Win32Host& host, const ConfigurationForm& form, const wchar_t* icon);

}  // namespace kelmor::win32
