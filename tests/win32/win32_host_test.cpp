// SPDX-License-Identifier: GPL-3.0-or-later
// The Win32 host's settings store, numbers, error reports and folder.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "core/unhandled_error.hpp"
#include "core/win32/win32_error.hpp"
#include "tests/win32/win32_scene.hpp"

namespace kelmor::win32 {
namespace {

using test::Scene;

constexpr wchar_t kKitKey[] = L"Software\\VB and VBA Program Settings\\kelkit\\kelkit";

// The value as another program (or regedit) finds it in the registry.
std::optional<std::wstring> registryValue(const wchar_t* name) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kKitKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return std::nullopt;
    wchar_t data[256] = {};
    DWORD size = sizeof data - sizeof(wchar_t);
    DWORD type = 0;
    const LONG result =
        RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS || type != REG_SZ) return std::nullopt;
    return std::wstring(data);
}

// Stores a value as another program (or regedit) would.
void writeValue(const wchar_t* name, DWORD type, const void* data, DWORD size) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kKitKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                              &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(key);
}

void writeNumber(const wchar_t* name, DWORD number) {
    writeValue(name, REG_DWORD, &number, sizeof number);
}

void writeText(const wchar_t* name, const std::string& text) {
    const std::wstring data = wide(text, text);
    writeValue(name, REG_SZ, data.c_str(), static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
}

TEST(Win32Settings, RoundTripsEveryValueWhereVisualBasicKeepsIt) {
    Scene scene;
    const std::vector<std::string> values = {"20000",
                                             "",
                                             " 00010 ",
                                             "a=b",
                                             "[kelkit]",
                                             "C:\\Games\\",
                                             "\"quoted\"",
                                             "max 50%",
                                             std::string(3000, 'x'),
                                             std::string("nul\0inside", 10)};
    for (const std::string& value : values) {
        scene.host.writeSetting("kelkit", "kelkit", "cycles", value);
        EXPECT_EQ(scene.host.readSetting("kelkit", "kelkit", "cycles", "20000"), value);
    }
    scene.host.writeSetting("kelkit", "kelkit", "output", "opengl");
    EXPECT_EQ(registryValue(L"output"), L"opengl");
    EXPECT_EQ(settingsKey("kel1", "kel1"), L"Software\\VB and VBA Program Settings\\kel1\\kel1");
}

// A value goes into a line of dosbox.conf in the ANSI code page (1252 in the
// test prefix): one that would end that line, or that the page cannot hold,
// is read as not set, and is not stored.
TEST(Win32Settings, AValueNoConfigurationLineCanHoldIsNotSet) {
    if (GetACP() != 1252) GTEST_SKIP() << "ANSI code page " << GetACP() << ", not 1252";
    Scene scene;
    const std::string held = "K\xc3\xa9lmor \xe2\x82\xac";  // the page holds both
    writeText(L"cycles", held);
    EXPECT_EQ(scene.host.readSetting("kelkit", "kelkit", "cycles", "20000"), held);
    for (const std::string value :
         {"20000\r\n[autoexec]\r\nmount Q C:\\\r\necho 1 > Q:\\PWNED.TXT", "line\r\nline",
          "20000\n", "\r20000", "\xd0\x96", "K\xc3\xa9lmor \xf0\x9f\x8e\xae"}) {
        writeText(L"cycles", value);
        EXPECT_EQ(scene.host.readSetting("kelkit", "kelkit", "cycles", "20000"), "20000") << value;
        EXPECT_THROW(scene.host.writeSetting("kelkit", "kelkit", "output", value),
                     std::system_error)
            << value;
    }
}

TEST(Win32Settings, AbsentOrForeignEntriesGiveTheDefault) {
    Scene scene;
    scene.host.writeSetting("kelkit", "kelkit", "cycles", "30000");
    EXPECT_EQ(scene.host.readSetting("kelkit", "kelkit", "fullscreen", "true"), "true");
    EXPECT_EQ(scene.host.readSetting("kelkit", "other", "cycles", "20000"), "20000");
    EXPECT_EQ(scene.host.readSetting("kel1", "kel1", "cycles", "20000"), "20000");
    EXPECT_EQ(scene.host.readSetting("", "kelkit", "cycles", "20000"), "20000");
    EXPECT_EQ(scene.host.readSetting("a\\b", "kelkit", "cycles", "20000"), "20000");
    // A number where a string belongs is not a setting of the kit.
    writeNumber(L"predvolba", 5);
    EXPECT_EQ(scene.host.readSetting("kelkit", "kelkit", "predvolba", "1"), "1");
    EXPECT_THROW(scene.host.writeSetting("", "kelkit", "cycles", "1"), std::system_error);
}

// The user locale of the test prefix is English (United States): its point
// "." counts, its thousands separator "," is no part of a number.
TEST(Win32Numbers, FollowTheUserLocalesDecimalPoint) {
    Scene scene;
    struct Case {
        std::string text;
        std::optional<double> value;
    };
    const std::vector<Case> cases = {
        {"20000", 20000},         {"1.5E4", 15000},          {" +1000 ", 1000},
        {"20,000", std::nullopt}, {"1,000.5", std::nullopt}, {"12,5", std::nullopt},
        {",5", std::nullopt},     {"1.000,5", std::nullopt}, {"", std::nullopt}};
    for (const Case& c : cases) EXPECT_EQ(scene.host.numericValue(c.text), c.value) << c.text;
}

// dosbox.conf names the application folder in the ANSI code page (1252 in
// the test prefix): a folder that page cannot hold is refused, saying which
// folder, which character and what to do.
TEST(Win32Host, AnApplicationFolderTheCodePageCannotHoldIsRefused) {
    if (GetACP() != 1252) GTEST_SKIP() << "ANSI code page " << GetACP() << ", not 1252";
    struct Case {
        std::string folder, character;
    };  // no character: usable
    const std::vector<Case> cases = {
        {"C:\\Games\\Kelmor Kit", ""},
        {"C:\\Hry\\K\xc3\xa9lmor \xe2\x82\xac", ""},
        {"C:\\Users\\\xc5\x81ukasz\\AppData\\Local\\Programs\\Kelmor Kit", "\xc5\x81"},
        {"C:\\Hry\\\xf0\x9f\x8e\xae\\\xd0\x96", "\xf0\x9f\x8e\xae"},
    };
    for (const Case& c : cases) {
        const Win32Host host({.applicationFolder = c.folder});
        const auto refusal = host.applicationFolderRefusal();
        if (c.character.empty()) {
            EXPECT_FALSE(refusal) << c.folder;
            continue;
        }
        ASSERT_TRUE(refusal) << c.folder;
        EXPECT_EQ(refusal->rfind("The Kelmor programs cannot run from the folder \"" + c.folder +
                                     "\": its name holds \"" + c.character +
                                     "\", which this "
                                     "system's ANSI code page (1252) cannot hold",
                                 0),
                  0u)
            << *refusal;
        EXPECT_NE(refusal->find("Move the programs to another folder, or rename this one."),
                  std::string::npos);
    }
}

// The report names the Windows error number and the system's own description.
TEST(Win32Errors, TheReportCarriesTheSystemsDescription) {
    for (const DWORD number : {ERROR_FILE_NOT_FOUND, ERROR_ACCESS_DENIED, ERROR_NOT_READY,
                               ERROR_NO_UNICODE_TRANSLATION}) {
        wchar_t text[512] = {};
        FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, number,
                       0, text, 512, nullptr);
        std::wstring description(text);
        while (!description.empty() &&
               std::wstring(L"\r\n ").find(description.back()) != std::wstring::npos)
            description.pop_back();
        ASSERT_FALSE(description.empty());
        const std::system_error error(static_cast<int>(number), windowsCategory(),
                                      "C:\\Kit\\dosbox.exe");
        EXPECT_EQ(unhandledErrorReport(error), "Error " + std::to_string(number) + ": " +
                                                   utf8(description) + " (C:\\Kit\\dosbox.exe)");
    }
    EXPECT_EQ(std::error_code(ERROR_ACCESS_DENIED, windowsCategory()),
              std::errc::permission_denied);
}

TEST(Win32Host, TheApplicationFolderIsTheProgramsOwn) {
    EXPECT_EQ(Win32Host().applicationFolder(), "C:\\tests");
}

}  // namespace
}  // namespace kelmor::win32
