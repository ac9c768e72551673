// SPDX-License-Identifier: GPL-3.0-or-later
// The configuration dialog frmMain on FLTK: the controls of the form, laid
// out at their twip positions, forwarding the clicks to ConfigurationDialog.
#pragma once

#include <string>

#include "core/fltk/fltk_launcher_window.hpp"

namespace kelmor {
class Host;
struct ConfigurationForm;
}  // namespace kelmor

namespace kelmor::fltk {

// Shows the dialog and runs the event loop until the dialog ends the process.
// A notice, when given, is one more line below the form's controls.
int runConfigurationDialog(Host& host, const ConfigurationForm& form, const EmbeddedPicture& icon,
                           const std::string& notice = {});

}  // namespace kelmor::fltk
