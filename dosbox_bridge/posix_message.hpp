// SPDX-License-Identifier: GPL-3.0-or-later
// How the bridge speaks to its user: one line on stderr, and where nobody
// reads stderr (it was started from a desktop menu) a message box as well.
// The box is shown by a small program beside the bridge, kelmor-message,
// which alone loads the GUI libraries: the bridge itself starts without
// them, as it seldom has anything to show.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "core/host.hpp"

namespace kelmor::bridge {

// The program that shows a box: kelmor-message <title> <style> <text>, the
// style a MessageStyle's number (0, 16, 48).
inline constexpr std::string_view kMessageProgram = "kelmor-message";
inline constexpr std::string_view kBridgeTitle = "DOSBox";

// "dosbox (Kelmor bridge): <text>" on stderr, and into this start's log:
// a line said before the log is made waits for it.
void say(const std::string& text);

// From now on each line said goes to `log` as well, beginning with those
// that waited; an empty function ends that.
void sayAlsoInto(std::function<void(std::string_view)> log);

// Whether a user who started the bridge may not see its stderr: it is no
// terminal, and there is a display to show a box on.
bool needsABox();

// Shows `text` in a box titled "DOSBox" through kelmor-message in
// `programFolder` and waits until the box is dismissed. Nothing happens
// when that program is not there or cannot show it.
void showBox(const std::string& programFolder, const std::string& text, MessageStyle style);

}  // namespace kelmor::bridge
