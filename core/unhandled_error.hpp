// SPDX-License-Identifier: GPL-3.0-or-later
// The "no trapping" failure policy: a host failure that nobody dropped ends
// the process with a report naming the error's number and description.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <system_error>

namespace kelmor {

class Host;

inline constexpr int kUnhandledErrorExitCode = 1;

// One line, e.g. "Error 13: Permission denied (C:\Games\Kit\dosbox.conf)";
// the part in brackets is what the failing operation was about, when known.
std::string unhandledErrorReport(const std::system_error& error);

// Any other failure: "Error: " and its description, e.g. "Error: std::bad_alloc".
std::string unhandledErrorReport(const std::exception& error);

// Runs a program's sequence. A std::system_error or any other std::exception
// escaping it is shown in a message box titled with the program title, and
// the process ends with kUnhandledErrorExitCode. What is no std::exception
// (a test host's end of the process, say) passes through unchanged.
void runReportingUnhandledErrors(Host& host, std::string_view programTitle,
                                 const std::function<void()>& sequence);

}  // namespace kelmor
