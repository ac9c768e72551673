// SPDX-License-Identifier: GPL-3.0-or-later
// The Win32 host: Unicode W functions throughout (the kit's UTF-8 texts become
// UTF-16 at the API), text files in the ANSI code page, files replaced as a
// whole, programs started by their explicit path, settings in the registry
// where Visual Basic programs keep theirs, message boxes owned by the window.
#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/host.hpp"

namespace kelmor {
class DiscImage;
class DiscImages;
}  // namespace kelmor

namespace kelmor::win32 {

class Win32ImageFiles;

struct Win32HostOptions {
    // The application folder; the running program's folder when empty.
    std::string applicationFolder{};
};

// Where the settings of an application's section live, below HKEY_CURRENT_USER.
std::wstring settingsKey(const std::string& application, const std::string& section);

class Win32Host : public Host {
public:
    // Turns the system's critical-error boxes ("There is no disk in the
    // drive") off for this process: a probe of an empty drive is a miss.
    explicit Win32Host(Win32HostOptions options = {});
    ~Win32Host() override;
    Win32Host(Win32Host&&) noexcept;
    Win32Host& operator=(Win32Host&&) noexcept;

    std::string applicationFolder() const override;
    bool fileExist(const std::string& path) noexcept override;
    void copyFile(const std::string& source, const std::string& destination) override;
    void deleteFile(const std::string& path) override;
    std::string readFile(const std::string& path) override;
    std::string readFileBytes(const std::string& path, std::uint64_t offset,
                              std::size_t count) override;
    void replaceFile(const std::string& path, std::string_view content) override;
    void flushWrites(const std::string& path) override;
    void startProgram(const std::string& program,
                      const std::vector<std::string>& arguments) override;
    // A 32-bit Windows; not a 64-bit one, and not Wine, which hands a DOS
    // program to whatever emulator its host has, outside the kit's setup.
    bool runsDosPrograms() const noexcept override;
    void messageBox(const std::string& text, MessageStyle style, const std::string& title) override;
    std::string shownPath(const std::string& path) const override { return path; }
    // The image beside the programs that has the letter (win32_image_drives.hpp).
    std::optional<std::string> driveImage(char letter) const override;
    // The kit's reader of the images beside the programs.
    ImageFiles& imageFiles() override;
    // A line for each image beside the programs whose name the ANSI code
    // page cannot hold, why it gets no letter, and for each image that
    // holds no disc, why; nothing when there is none.
    std::string noCdAdvice() const override;
    // DOSBox copied into the application folder as dosbox.exe.
    std::string noEmulatorAdvice() const override;
    std::string commandLine() const override;
    [[noreturn]] void endProcess(int exitCode) override;
    std::string readSetting(const std::string& application, const std::string& section,
                            const std::string& key,
                            const std::string& defaultValue) noexcept override;
    void writeSetting(const std::string& application, const std::string& section,
                      const std::string& key, const std::string& value) override;
    std::optional<double> numericValue(std::string_view text) const override;

    // The window that owns the message boxes; none until the program has one.
    void setMessageOwner(HWND owner) { messageOwner_ = owner; }

    // The report that refuses to run from the application folder when the
    // ANSI code page cannot hold its name, so dosbox.conf, text in that
    // page, could not name it; nothing when it can.
    std::optional<std::string> applicationFolderRefusal() const override;

private:
    // The images beside the programs by their letters, found on first use.
    const std::map<char, std::string>& imageDrives() const;
    // The image behind a path's drive, opened once; nothing for a drive.
    // Throws std::system_error when it holds no disc that can be read.
    DiscImage* imageOf(const std::string& path);
    bool onImageDrive(const std::string& path) const;

    std::string applicationFolder_;
    mutable std::optional<std::map<char, std::string>> imageDrives_;
    // The images that get no letter, with the character of their name that
    // the ANSI code page cannot hold.
    mutable std::vector<std::pair<std::string, std::string>> unnamedImages_;
    std::unique_ptr<Win32ImageFiles> imageFiles_;
    std::unique_ptr<DiscImages> images_;
    HWND messageOwner_ = nullptr;
    // Copies not yet on disk: a user cannot flush a whole volume on Windows,
    // so flushWrites flushes each of them.
    std::vector<std::wstring> unflushedCopies_;
};

}  // namespace kelmor::win32
