// SPDX-License-Identifier: GPL-3.0-or-later
// A stand-in for a started program (dosbox.exe, MAPPER.EXE, _KelmorPlix.exe,
// a C:\Program.exe that must never run) that records how it was started,
// beside itself, as the stand-ins of the GUI tests do on every host:
//   <name>-started.txt  the number of arguments, each argument, the working
//                       folder, one per line (UTF-8)
//   <name>-cmdline.txt  the command line exactly as the program got it
//   <name>-handed.conf  a copy of dosbox.conf in the working folder, if any
// <name> is the program's file name in lower case without its extension.
// Each record is complete once <name>-started.txt appears.
#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <string>

namespace {

std::string utf8(std::wstring_view text) {
    if (text.empty()) return {};
    const int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                           nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(),
                        length, nullptr, nullptr);
    return bytes;
}

void writeAtOnce(const std::wstring& path, const std::string& content) {
    const std::wstring part = path + L".part";
    const HANDLE file =
        CreateFileW(part.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
    CloseHandle(file);
    MoveFileExW(part.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring path(self);
    const std::size_t slash = path.find_last_of(L'\\');
    std::wstring name = path.substr(slash + 1);
    name.resize(std::min(name.size(), name.find_last_of(L'.')));
    CharLowerW(name.data());
    const std::wstring record = path.substr(0, slash + 1) + name;

    wchar_t folder[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, folder);
    int count = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &count);
    std::string lines = std::to_string(count - 1) + "\n";
    for (int i = 1; i < count; ++i) lines += utf8(argv[i]) + "\n";
    lines += utf8(folder) + "\n";
    LocalFree(argv);

    CopyFileW((std::wstring(folder) + L"\\dosbox.conf").c_str(), (record + L"-handed.conf").c_str(),
              FALSE);
    writeAtOnce(record + L"-cmdline.txt", utf8(GetCommandLineW()));
    writeAtOnce(record + L"-started.txt", lines);
    return 0;
}
