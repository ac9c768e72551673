// SPDX-License-Identifier: GPL-3.0-or-later
// The settings store of the Win32 host: string values under
// HKEY_CURRENT_USER\Software\VB and VBA Program Settings\<application>\<section>,
// where Visual Basic programs keep theirs, so the kit's earlier settings
// (and the game's "kel1" values) are found where they already are. A value
// with a line end, or one the ANSI code page cannot hold, counts as not set.

#include <optional>

#include "core/win32/win32_error.hpp"
#include "core/win32/win32_handle.hpp"
#include "core/win32/win32_host.hpp"
#include "core/win32/win32_text.hpp"

namespace kelmor::win32 {
namespace {

constexpr wchar_t kSettingsRoot[] = L"Software\\VB and VBA Program Settings";

// An application or section names one key below the root: not empty, no backslash.
bool isKeyName(const std::string& name) {
    return !name.empty() && name.find('\\') == std::string::npos;
}

// A value goes into a line of dosbox.conf, 8-bit text in the ANSI code page:
// a line end in it would end that line and begin lines of its own there (a
// section, commands of [autoexec]), and a character the page cannot hold
// would fail the whole file. Such a value is no setting of the kit's.
bool fitsConfigurationLine(const std::string& value) {
    if (value.find_first_of("\r\n") != std::string::npos) return false;
    try {
        ansiText(value, "setting");
        return true;
    } catch (const std::system_error&) {
        return false;
    }
}

// A string value of a key; nothing when it is absent or of another type.
std::optional<std::wstring> stringValue(const RegistryKey& key, const std::wstring& name) {
    std::wstring value(64, L'\0');
    for (;;) {
        DWORD type = 0;
        DWORD size = static_cast<DWORD>(value.size() * sizeof(wchar_t));
        const LONG result = RegQueryValueExW(key.get(), name.c_str(), nullptr, &type,
                                             reinterpret_cast<BYTE*>(value.data()), &size);
        if (result == ERROR_MORE_DATA) {
            value.resize(size / sizeof(wchar_t) + 1);
            continue;
        }
        if (result != ERROR_SUCCESS || type != REG_SZ) return std::nullopt;
        value.resize(size / sizeof(wchar_t));
        // The terminating null, when the value has one, is not part of it.
        if (!value.empty() && value.back() == L'\0') value.pop_back();
        return value;
    }
}

std::string describe(const std::string& application, const std::string& section,
                     const std::string& key) {
    return "HKEY_CURRENT_USER\\" + utf8(settingsKey(application, section)) + " " + key;
}

}  // namespace

std::wstring settingsKey(const std::string& application, const std::string& section) {
    return std::wstring(kSettingsRoot) + L"\\" + wide(application, application) + L"\\" +
           wide(section, section);
}

std::string Win32Host::readSetting(const std::string& application, const std::string& section,
                                   const std::string& key,
                                   const std::string& defaultValue) noexcept {
    try {
        if (!isKeyName(application) || !isKeyName(section)) return defaultValue;
        RegistryKey settings;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, settingsKey(application, section).c_str(), 0,
                          KEY_QUERY_VALUE, settings.receive()) != ERROR_SUCCESS)
            return defaultValue;
        const std::optional<std::wstring> value = stringValue(settings, wide(key, key));
        if (!value) return defaultValue;
        std::string text = utf8(*value);
        return fitsConfigurationLine(text) ? text : defaultValue;
    } catch (...) {
        return defaultValue;
    }
}

void Win32Host::writeSetting(const std::string& application, const std::string& section,
                             const std::string& key, const std::string& value) {
    if (!isKeyName(application) || !isKeyName(section))
        throwWindowsError(ERROR_INVALID_NAME, "settings \"" + application + "\\" + section + "\"");
    const std::string what = describe(application, section, key);
    // What a read would not take is not stored either.
    if (!fitsConfigurationLine(value)) throwWindowsError(ERROR_INVALID_DATA, what);
    RegistryKey settings;
    const LONG created = RegCreateKeyExW(
        HKEY_CURRENT_USER, settingsKey(application, section).c_str(), 0, nullptr,
        REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr, settings.receive(), nullptr);
    if (created != ERROR_SUCCESS) throwWindowsError(static_cast<unsigned long>(created), what);
    const std::wstring name = wide(key, what);
    const std::wstring data = wide(value, what);
    const DWORD size = static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t));
    const LONG set = RegSetValueExW(settings.get(), name.c_str(), 0, REG_SZ,
                                    reinterpret_cast<const BYTE*>(data.c_str()), size);
    if (set != ERROR_SUCCESS) throwWindowsError(static_cast<unsigned long>(set), what);
}

}  // namespace kelmor::win32
