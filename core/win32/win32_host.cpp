#include "core/win32/win32_host.hpp"

#include <cstdio>
#include <utility>

#include "core/numeric_text.hpp"
#include "core/text.hpp"
#include "core/win32/win32_command_line.hpp"
#include "core/win32/win32_error.hpp"
#include "core/win32/win32_text.hpp"

namespace kelmor::win32 {
namespace {

// The folder of the running program, without a trailing backslash.
std::string runningProgramFolder() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) throwLastError("the running program's path");
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    const std::size_t slash = path.find_last_of(L'\\');
    return utf8(slash == std::wstring::npos ? path : path.substr(0, slash));
}

std::string localeText(LCTYPE item) {
    wchar_t buffer[16] = {};
    const int length = GetLocaleInfoW(LOCALE_USER_DEFAULT, item, buffer, 16);
    return length > 1 ? utf8(std::wstring_view(buffer, static_cast<std::size_t>(length - 1)))
                      : std::string();
}

// The same line a terminal user sees on the POSIX host, for whoever reads
// this process's error output (nobody, for a program started from the desktop).
void writeToErrorOutput(const std::string& title, const std::string& text) {
    const HANDLE output = GetStdHandle(STD_ERROR_HANDLE);
    if (output == nullptr || output == INVALID_HANDLE_VALUE) return;
    const std::string line = messageLine(title, text);
    DWORD written = 0;
    WriteFile(output, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}

}  // namespace

Win32Host::Win32Host(Win32HostOptions options)
    : applicationFolder_(options.applicationFolder.empty() ? runningProgramFolder()
                                                           : std::move(options.applicationFolder)) {
    const UINT mode = SetErrorMode(0);
    SetErrorMode(mode | SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
}

std::string Win32Host::applicationFolder() const {
    return applicationFolder_;
}

void Win32Host::messageBox(const std::string& text, MessageStyle style, const std::string& title) {
    writeToErrorOutput(title, text);
    // In front, also when another program started this one.
    MessageBoxW(messageOwner_, displayText(text).c_str(), displayText(title).c_str(),
                MB_OK | MB_SETFOREGROUND | static_cast<UINT>(style));
}

std::string Win32Host::commandLine() const {
    return utf8(textBehindProgramName(GetCommandLineW()));
}

void Win32Host::endProcess(int exitCode) {
    std::fflush(nullptr);
    ExitProcess(static_cast<UINT>(exitCode));
}

std::optional<double> Win32Host::numericValue(std::string_view text) const {
    return parseNumber(text, localeText(LOCALE_SDECIMAL));
}

}  // namespace kelmor::win32
