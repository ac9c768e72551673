// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/win32/win32_host.hpp"

#include <cstdio>
#include <string>
#include <system_error>
#include <utility>

#include "core/ascii_text.hpp"
#include "core/disc_image.hpp"
#include "core/image_check.hpp"
#include "core/text.hpp"
#include "core/win32/win32_command_line.hpp"
#include "core/win32/win32_error.hpp"
#include "core/win32/win32_image_drives.hpp"
#include "core/win32/win32_numeric_text.hpp"
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

// The same line a terminal user sees on the POSIX host, for whoever reads
// this process's error output (nobody, for a program started from the desktop).
void writeToErrorOutput(const std::string& title, const std::string& text) {
    const HANDLE output = GetStdHandle(STD_ERROR_HANDLE);
    if (output == nullptr || output == INVALID_HANDLE_VALUE) return;
    const std::string line = messageLine(title, text);
    DWORD written = 0;
    WriteFile(output, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}

// The character that the ANSI code page cannot hold, for a message.
std::string heldNot(const std::string& character) {
    return (character.empty() ? std::string("a character") : "\"" + character + "\"") +
           ", which this system's ANSI code page (" + std::to_string(GetACP()) + ") cannot hold";
}

}  // namespace

Win32Host::Win32Host(Win32HostOptions options)
    : applicationFolder_(options.applicationFolder.empty() ? runningProgramFolder()
                                                           : std::move(options.applicationFolder)),
      imageFiles_(std::make_unique<Win32ImageFiles>()),
      images_(std::make_unique<DiscImages>(*imageFiles_)) {
    const UINT mode = SetErrorMode(0);
    SetErrorMode(mode | SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
}

Win32Host::~Win32Host() = default;
Win32Host::Win32Host(Win32Host&&) noexcept = default;
Win32Host& Win32Host::operator=(Win32Host&&) noexcept = default;

// An image whose name the ANSI code page cannot hold gets no letter, as
// dosbox.conf, text in that page, could not name it.
const std::map<char, std::string>& Win32Host::imageDrives() const {
    if (imageDrives_) return *imageDrives_;
    std::vector<std::string> named;
    for (std::string& image : discImagesIn(applicationFolder_)) {
        if (auto character = firstCharacterOutsideAnsi(image))
            unnamedImages_.emplace_back(std::move(image), std::move(*character));
        else
            named.push_back(std::move(image));
    }
    imageDrives_ = imageLetters(named, GetLogicalDrives());
    return *imageDrives_;
}

ImageFiles& Win32Host::imageFiles() { return *imageFiles_; }

std::optional<std::string> Win32Host::driveImage(char letter) const {
    const auto image = imageDrives().find(upperAscii(letter));
    if (image == imageDrives().end()) return std::nullopt;
    return image->second;
}

bool Win32Host::onImageDrive(const std::string& path) const {
    return path.size() >= 2 && path[1] == ':' && driveImage(path[0]);
}

DiscImage* Win32Host::imageOf(const std::string& path) {
    const auto image = path.size() >= 2 && path[1] == ':' ? driveImage(path[0]) : std::nullopt;
    return image ? &images_->open(*image) : nullptr;
}

std::string Win32Host::applicationFolder() const { return applicationFolder_; }

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

std::optional<std::string> Win32Host::applicationFolderRefusal() const {
    const auto character = firstCharacterOutsideAnsi(applicationFolder_);
    if (!character) return std::nullopt;
    return "The Kelmor programs cannot run from the folder \"" + applicationFolder_ +
           "\": its name holds " + heldNot(*character) +
           ", so dosbox.conf could not name the folder. Move the programs to "
           "another folder, or rename this one.";
}

// A line for each image beside the programs that gives the programs no CD:
// one that gets no letter, then one that holds no disc, with why, as Kelmor
// Drives says it on Linux. What makes an image hold no disc (no data track
// first, or its file missing or unreadable) is the same for every DOSBox.
std::string Win32Host::noCdAdvice() const {
    const std::map<char, std::string>& lettered = imageDrives();
    std::vector<std::string> lines;
    for (const auto& [image, character] : unnamedImages_)
        lines.push_back("The CD image " + image + " gets no drive letter: its name holds " +
                        heldNot(character) + ", so dosbox.conf could not name it. Rename it.");
    for (const auto& [letter, image] : lettered) {
        const ImageCheck check = checkDiscImage(*imageFiles_, image, EmulatorDialect::Unknown);
        if (!check.noDisc.empty())
            lines.push_back("The CD image " + image + " holds no disc: " + check.noDisc + ".");
    }
    std::string advice;
    for (const std::string& line : lines) advice += (advice.empty() ? "" : "\n") + line;
    return advice;
}

std::string Win32Host::noEmulatorAdvice() const {
    return "Copy DOSBox (dosbox.exe and the files beside it) into the folder " +
           applicationFolder_ +
           "; DOSBox-X's program, dosbox-x.exe, goes there as dosbox.exe. The kit's setup offers "
           "to do so "
           "when DOSBox is installed.";
}

std::optional<double> Win32Host::numericValue(std::string_view text) const {
    return parseNumericText(text);
}

}  // namespace kelmor::win32
