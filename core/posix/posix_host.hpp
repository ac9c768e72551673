// SPDX-License-Identifier: GPL-3.0-or-later
// The POSIX host: Windows paths mapped onto folders or disc images through
// the per-user drive map, names matched without regard to case, an INI file
// per settings application, programs started apart from their arguments.
// A drive that holds a disc image is read-only, as a CD drive is.
#pragma once

#include <functional>
#include <memory>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "core/host.hpp"

namespace kelmor::linux_drives {
class Drives;
}  // namespace kelmor::linux_drives

namespace kelmor::posix {

struct PosixHostOptions {
    // Host folder of the application; when empty, the folder of the running
    // program, or the user's own for the package's programs
    // (posix_package_folder.hpp).
    std::string applicationFolder{};
    // Per-user configuration folder; ${XDG_CONFIG_HOME:-$HOME/.config} when empty.
    std::string configHome{};
    // The program's arguments (argv[1] onwards).
    std::vector<std::string> arguments{};
    // The drive map's text, read from its file in the configuration folder
    // when not given.
    std::optional<std::string> driveMapText{};
    // Where mounted optical discs are listed.
    std::string mountsFile = "/proc/self/mounts";
};

class PosixHost : public Host {
public:
    using MessagePresenter =
        std::function<void(const std::string& text, MessageStyle style, const std::string& title)>;

    explicit PosixHost(PosixHostOptions options = {});
    ~PosixHost() override;

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
    // No DOS program runs on this host without an emulator.
    bool runsDosPrograms() const noexcept override { return false; }
    void messageBox(const std::string& text, MessageStyle style, const std::string& title) override;
    std::string shownPath(const std::string& path) const override;
    // An image copied beside the programs, or Kelmor Drives.
    std::string noCdAdvice() const override;
    // The kit installed again, and DOSBox with apt or named in Kelmor Drives.
    std::string noEmulatorAdvice() const override;
    // Nothing: the DOSBox bridge mounts a drive's image itself.
    std::optional<std::string> driveImage(char) const override { return std::nullopt; }
    // The drives' files (unasked for, as driveImage() names no image).
    ImageFiles& imageFiles() override;
    std::string commandLine() const override;
    [[noreturn]] void endProcess(int exitCode) override;
    std::string readSetting(const std::string& application, const std::string& section,
                            const std::string& key,
                            const std::string& defaultValue) noexcept override;
    void writeSetting(const std::string& application, const std::string& section,
                      const std::string& key, const std::string& value) override;
    std::optional<double> numericValue(std::string_view text) const override;

    // Who shows message boxes on screen; without one they go to stderr only.
    void setMessagePresenter(MessagePresenter presenter);

    // The report that refuses to run from the application folder, when its
    // path cannot be written as the Windows path the programs form from it
    // (windowsPathProblem()); nothing when it can.
    std::optional<std::string> applicationFolderRefusal() const override;

    // The host path of a Windows path, each existing component matched
    // without regard to case; nothing when its drive is missing or holds a
    // disc image.
    std::optional<std::string> hostPath(const std::string& windowsPath) const;

    // The per-user configuration folder of the kit ("<config home>/kelmor").
    std::string kitConfigFolder() const;

    // Where this host's drive-letter paths lead.
    const linux_drives::Drives& drives() const { return *drives_; }

private:
    // The settings file of an application; an existing file whose name
    // differs only in case is the one used.
    std::string settingsFile(const std::string& application) const;

    PosixHostOptions options_;
    std::string applicationFolderHost_;
    std::string configHome_;
    MessagePresenter presenter_;
    // Where drive-letter paths lead, for the whole run.
    std::unique_ptr<linux_drives::Drives> drives_;
    // The files this host wrote and copied that flushWrites() has not made
    // stay yet, by their host paths.
    std::vector<std::string> unflushed_;
};

}  // namespace kelmor::posix
