// SPDX-License-Identifier: GPL-3.0-or-later
// Command lines of Windows processes: what a program was given, and the
// command line a started program gets.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kelmor::win32 {

// The text behind the program name of a process's command line, whether the
// name was quoted ("C:\Program Files\Kit\_KelmorPlix.exe" mapper) or not
// (C:\Kit\_KelmorPlix.exe mapper), without the blanks that separate them.
std::wstring_view textBehindProgramName(std::wstring_view commandLine);

// One argument as the C runtime's parser (and CommandLineToArgvW) reads it
// back: quoted when it is empty or holds a blank, a tab or a quote, with
// quotes and the backslashes before them escaped.
std::wstring quotedArgument(std::wstring_view argument);

// The command line of a started program: its path, always quoted, so that
// no "C:\Program.exe" stands in for "C:\Program Files\...", then each
// argument after a blank.
std::wstring childCommandLine(std::wstring_view program,
                              const std::vector<std::wstring>& arguments);

}  // namespace kelmor::win32
