// SPDX-License-Identifier: GPL-3.0-or-later
// Program start on the Win32 host: the program named by its path (never
// looked up from the command line), that path quoted in the command line the
// program gets, the application folder as its working directory, a normal
// window with the focus, the system's error boxes as they were before this
// process turned them off, no wait.
#include "core/win32/win32_command_line.hpp"
#include "core/win32/win32_error.hpp"
#include "core/win32/win32_handle.hpp"
#include "core/win32/win32_host.hpp"
#include "core/win32/win32_text.hpp"

namespace kelmor::win32 {
namespace {

// A function of a system DLL that older systems lack, or nothing.
template <class Function>
Function systemFunction(const wchar_t* module, const char* name) {
    const HMODULE loaded = GetModuleHandleW(module);
    if (loaded == nullptr) return nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(loaded, name)));
}

// Wine's ntdll tells its version; Windows' does not.
bool underWine() {
    return systemFunction<const char*(CDECL*)()>(L"ntdll.dll", "wine_get_version") != nullptr;
}

// A 32-bit program on a 64-bit Windows. IsWow64Process came with XP SP2;
// a system without it is a 32-bit one.
bool onWow64() {
    const auto isWow64Process =
        systemFunction<BOOL(WINAPI*)(HANDLE, PBOOL)>(L"kernel32.dll", "IsWow64Process");
    BOOL wow64 = FALSE;
    return isWow64Process != nullptr && isWow64Process(GetCurrentProcess(), &wow64) && wow64;
}

}  // namespace

bool Win32Host::runsDosPrograms() const noexcept {
    // No 64-bit Windows has a DOS subsystem.
    constexpr bool sixtyFourBitProgram = sizeof(void*) == 8;
    return !sixtyFourBitProgram && !underWine() && !onWow64();
}

void Win32Host::startProgram(const std::string& program,
                             const std::vector<std::string>& arguments) {
    const std::wstring path = wide(program, program);
    std::vector<std::wstring> wideArguments;
    for (const std::string& argument : arguments) wideArguments.push_back(wide(argument, program));
    std::wstring line = childCommandLine(path, wideArguments);
    std::wstring folder = wide(applicationFolder_, applicationFolder_);
    if (folder.size() == 2 && folder[1] == L':')
        folder += L'\\';  // "C:" alone is C:'s current folder

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(path.c_str(), line.data(), nullptr, nullptr, FALSE,
                        CREATE_DEFAULT_ERROR_MODE, nullptr, folder.c_str(), &startup, &started))
        throwLastError(program);
    // Closed at once: nobody waits for the program.
    const Handle process(started.hProcess), thread(started.hThread);
}

}  // namespace kelmor::win32
