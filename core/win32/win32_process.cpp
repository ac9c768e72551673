// Program start on the Win32 host: the program named by its path (never
// looked up from the command line), that path quoted in the command line the
// program gets, the application folder as its working directory, a normal
// window with the focus, the system's error boxes as they were before this
// process turned them off, no wait.
#include "core/win32/win32_command_line.hpp"
#include "core/win32/win32_error.hpp"
#include "core/win32/win32_host.hpp"
#include "core/win32/win32_text.hpp"

namespace kelmor::win32 {

void Win32Host::startProgram(const std::string& program,
                             const std::vector<std::string>& arguments) {
    const std::wstring path = wide(program, program);
    std::vector<std::wstring> wideArguments;
    for (const std::string& argument : arguments) wideArguments.push_back(wide(argument, program));
    std::wstring line = childCommandLine(path, wideArguments);
    std::wstring folder = wide(applicationFolder_, applicationFolder_);
    if (folder.size() == 2 && folder[1] == L':') folder += L'\\';  // "C:" alone is C:'s current folder

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(path.c_str(), line.data(), nullptr, nullptr, FALSE,
                        CREATE_DEFAULT_ERROR_MODE, nullptr, folder.c_str(), &startup, &started))
        throwLastError(program);
    CloseHandle(started.hThread);
    CloseHandle(started.hProcess);
}

}  // namespace kelmor::win32
