// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/posix/posix_host.hpp"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <memory>

#include "core/linux_drives/linux_drives.hpp"
#include "core/posix_files/posix_config_folder.hpp"
#include "core/posix_files/posix_package_folder.hpp"
#include "core/posix/posix_numeric_text.hpp"
#include "core/text.hpp"

namespace kelmor::posix {

namespace {

// An absolute host folder without "." or ".." components or a trailing slash.
std::string tidyFolder(const std::filesystem::path& folder) {
    std::error_code error;
    std::filesystem::path absolute = std::filesystem::absolute(folder, error);
    if (error) absolute = folder;
    std::string tidy = absolute.lexically_normal().string();
    while (tidy.size() > 1 && tidy.back() == '/') tidy.pop_back();
    return tidy;
}

}  // namespace

PosixHost::PosixHost(PosixHostOptions options)
    : options_(std::move(options)),
      applicationFolderHost_(options_.applicationFolder.empty()
                                 ? tidyFolder(posix_files::runningApplicationFolder())
                                 : tidyFolder(options_.applicationFolder)),
      configHome_(posix_files::userConfigHome(options_.configHome)),
      drives_(std::make_unique<linux_drives::Drives>(linux_drives::DrivesSetup{
          applicationFolderHost_,
          posix_files::joinHostPath(kitConfigFolder(), linux_drives::kDriveMapFileName),
          options_.driveMapText, options_.mountsFile})) {}

PosixHost::~PosixHost() = default;

std::string PosixHost::applicationFolder() const {
    return linux_drives::windowsPathOfHostPath(applicationFolderHost_);
}

std::string PosixHost::kitConfigFolder() const { return posix_files::kitConfigFolder(configHome_); }

std::optional<std::string> PosixHost::hostPath(const std::string& windowsPath) const {
    return drives_->hostPath(windowsPath);
}

std::string PosixHost::shownPath(const std::string& path) const { return drives_->shownPath(path); }

std::string PosixHost::noCdAdvice() const {
    return "Or copy the CD's image (.iso, or .cue with its files) into " + applicationFolderHost_ +
           ", or give it a drive letter in Kelmor Drives.";
}

// The launchers start the bridge `dosbox` of the application folder, which
// starts the emulator: only a bridge missing or not executable keeps them
// from starting it (without DOSBox the bridge says so itself). So the kit
// is installed again, and DOSBox too where it is missing.
std::string PosixHost::noEmulatorAdvice() const {
    return "The kit starts DOSBox through its program dosbox, which is missing from the folder " +
           applicationFolderHost_ +
           " or cannot run: install the kit into that folder again (make "
           "install APP=\"" +
           applicationFolderHost_ +
           "\" in the kit's sources). DOSBox itself: sudo "
           "apt install dosbox on Debian and Ubuntu (the kit also starts DOSBox Staging or "
           "DOSBox-X where "
           "one is installed, or the emulator you name in the Emulator box of Kelmor Drives).";
}

ImageFiles& PosixHost::imageFiles() { return drives_->imageFiles(); }

std::optional<std::string> PosixHost::applicationFolderRefusal() const {
    const auto problem = linux_drives::windowsPathProblem(applicationFolderHost_);
    if (!problem) return std::nullopt;
    std::string shown;
    for (char c : applicationFolderHost_) shown += (c == '\r' || c == '\n') ? '?' : c;
    return "The Kelmor programs cannot run from the folder \"" + shown + "\": its name holds " +
           *problem + ". Move the programs to another folder, or rename this one.";
}

void PosixHost::setMessagePresenter(MessagePresenter presenter) {
    presenter_ = std::move(presenter);
}

void PosixHost::messageBox(const std::string& text, MessageStyle style, const std::string& title) {
    const std::string line = messageLine(title, text);
    std::fputs(line.c_str(), stderr);
    std::fflush(stderr);
    if (presenter_) presenter_(text, style, title);
}

std::string PosixHost::commandLine() const {
    std::string line;
    for (std::size_t i = 0; i < options_.arguments.size(); ++i) {
        if (i > 0) line += ' ';
        line += options_.arguments[i];
    }
    return line;
}

void PosixHost::endProcess(int exitCode) {
    std::cout.flush();
    std::cerr.flush();
    std::fflush(nullptr);
    std::_Exit(exitCode);
}

std::optional<double> PosixHost::numericValue(std::string_view text) const {
    return parseNumericText(text);
}

}  // namespace kelmor::posix
