// SPDX-License-Identifier: GPL-3.0-or-later
// The one interface through which the programs reach their host system.
//
// Paths are Windows texts: a drive letter, a colon and backslash-separated
// components ("E:\KELMOR\VIGNET.DAT"). Each host maps them onto its own file
// system. A failing operation throws std::system_error carrying the host's
// own error number and description; the callers decide whether to drop it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kelmor {

class ImageFiles;

// The largest file read whole: far above any file the kit reads so (the
// marker, a settings file, the drive map, dosbox.conf, a cue sheet). A
// larger file is unreadable ("file too large") rather than a reason to
// reserve its whole size in memory.
inline constexpr std::uint64_t kLargestWholeFile = 4 * 1024 * 1024;

// Style of a message box: one OK button, with or without the warning icon.
enum class MessageStyle : int { Plain = 0, Critical = 16, Warning = 48 };

class Host {
public:
    virtual ~Host() = default;

    // Folder of the running program, without a trailing backslash.
    virtual std::string applicationFolder() const = 0;

    // The report that refuses to run from the application folder, where this
    // host cannot serve the programs from it (refuseUnusableApplicationFolder());
    // nothing where it can, as by default.
    virtual std::optional<std::string> applicationFolderRefusal() const { return std::nullopt; }

    // True when the named file's length can be read, 0 bytes included;
    // false for folders and on every failure. Never throws.
    virtual bool fileExist(const std::string& path) noexcept = 0;

    // Copies a file, replacing the destination as a whole: a copy that fails
    // leaves an existing destination as it was. What keeps the source from
    // being found or read is a SourceFailure (failure.hpp); the
    // destination's failures are plain std::system_error.
    virtual void copyFile(const std::string& source, const std::string& destination) = 0;

    // Deletes one file; a missing file is an error.
    virtual void deleteFile(const std::string& path) = 0;

    // The whole content of a file, as 8-bit text; a file larger than
    // kLargestWholeFile is not read.
    virtual std::string readFile(const std::string& path) = 0;

    // Up to `count` bytes of a file from `offset` on, as they are, without
    // any text conversion; fewer where the file ends.
    virtual std::string readFileBytes(const std::string& path, std::uint64_t offset,
                                      std::size_t count) = 0;

    // Replaces a file's content as a whole (created when absent); a failed
    // write leaves the older file as it was.
    virtual void replaceFile(const std::string& path, std::string_view content) = 0;

    // Returns once every file this host has written or copied so far on the
    // drive that holds `path` would survive a power cut, with the name it
    // was given; what other programs wrote is not waited for. A failure is
    // an error.
    virtual void flushWrites(const std::string& path) = 0;

    // Starts a program with its arguments kept apart from its path, in the
    // application folder as working directory, without waiting for it.
    virtual void startProgram(const std::string& program,
                              const std::vector<std::string>& arguments) = 0;

    // True when the system itself runs DOS programs, as a 32-bit Windows does
    // in its DOS subsystem (a start there can still fail where that subsystem
    // is not installed).
    virtual bool runsDosPrograms() const noexcept = 0;

    // Modal box with one OK button; returns when the user dismissed it.
    virtual void messageBox(const std::string& text, MessageStyle style,
                            const std::string& title) = 0;

    // The disc image that a drive letter stands for, where the host gives
    // images letters of their own and the emulator is to mount the image
    // itself (IMGMOUNT): its full Windows path. Nothing for a drive, and on
    // a host whose emulator bridge mounts images on its own.
    virtual std::optional<std::string> driveImage(char letter) const = 0;

    // The files that the images of driveImage() are read from, as the
    // emulator reads them, for checking an image before the emulator meets
    // it (image_check.hpp).
    virtual ImageFiles& imageFiles() = 0;

    // A line that this host adds to the messages that say no CD was found:
    // what else gives the programs their CD here. Empty where the messages
    // stay as they are.
    virtual std::string noCdAdvice() const = 0;

    // What this host's user does so that the programs can start the
    // emulator, in the host's own words, for the messages that say it
    // cannot be started: whole sentences, the last ending in a full stop.
    virtual std::string noEmulatorAdvice() const = 0;

    // A path as this host's user knows it, for messages: the path itself
    // where paths are Windows paths, else the host's file it stands for.
    virtual std::string shownPath(const std::string& path) const = 0;

    // The text behind the program name on the command line.
    virtual std::string commandLine() const = 0;

    // Ends the process at once; nothing after it runs.
    [[noreturn]] virtual void endProcess(int exitCode) = 0;

    // Per-user settings store. A read returns the default when the
    // application, the section or the key is absent and never throws.
    virtual std::string readSetting(const std::string& application, const std::string& section,
                                    const std::string& key,
                                    const std::string& defaultValue) noexcept = 0;
    virtual void writeSetting(const std::string& application, const std::string& section,
                              const std::string& key, const std::string& value) = 0;

    // The host's numeric text: the number a text stands for, or nothing when
    // the text is not a number. Testing and converting are this one operation.
    virtual std::optional<double> numericValue(std::string_view text) const = 0;
};

}  // namespace kelmor
