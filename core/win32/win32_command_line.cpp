// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/win32/win32_command_line.hpp"

namespace kelmor::win32 {
namespace {

bool isBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

}  // namespace

std::wstring_view textBehindProgramName(std::wstring_view commandLine) {
    std::size_t at = 0;
    if (!commandLine.empty() && commandLine.front() == L'"') {
        const std::size_t closing = commandLine.find(L'"', 1);
        at = closing == std::wstring_view::npos ? commandLine.size() : closing + 1;
    } else {
        while (at < commandLine.size() && !isBlank(commandLine[at])) ++at;
    }
    while (at < commandLine.size() && isBlank(commandLine[at])) ++at;
    return commandLine.substr(at);
}

std::wstring quotedArgument(std::wstring_view argument) {
    if (!argument.empty() && argument.find_first_of(L" \t\"") == std::wstring_view::npos)
        return std::wstring(argument);
    std::wstring quoted = L"\"";
    std::size_t backslashes = 0;
    for (const wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        // Backslashes before a quote are doubled, and the quote escaped.
        quoted.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
        backslashes = 0;
        quoted += c;
    }
    // ... and so are those before the closing quote.
    quoted.append(2 * backslashes, L'\\');
    quoted += L'"';
    return quoted;
}

std::wstring childCommandLine(std::wstring_view program,
                              const std::vector<std::wstring>& arguments) {
    std::wstring line = L"\"" + std::wstring(program) + L"\"";
    for (const std::wstring& argument : arguments) line += L" " + quotedArgument(argument);
    return line;
}

}  // namespace kelmor::win32
