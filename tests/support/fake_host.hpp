// SPDX-License-Identifier: GPL-3.0-or-later
// An in-memory host for unit tests: files keyed by their Windows path
// (matched without regard to case), settings in a map, started programs and
// message boxes recorded, and any operation on any path made to fail.
#pragma once

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <map>
#include <optional>
#include <string>
#include <system_error>
#include <tuple>
#include <utility>
#include <vector>

#include "core/disc_image.hpp"
#include "core/failure.hpp"
#include "core/host.hpp"

namespace kelmor::testing {

// A host's files as disc images are read from them, by Windows paths.
class FakeImageFiles final : public ImageFiles {
public:
    explicit FakeImageFiles(Host& host) : host_(host) {}
    std::string readBytes(const std::string& path, std::uint64_t offset,
                          std::size_t count) override {
        return host_.readFileBytes(path, offset, count);
    }
    char separator() const override { return '\\'; }
    std::error_code noDisc() const override { return {ENXIO, std::generic_category()}; }

private:
    Host& host_;
};

// Thrown by the fake's endProcess, so a test sees where the process ended.
struct ProcessEnded {
    int exitCode;
};

// Runs a sequence that is to end the process: its exit code, or -1 when it
// returned instead.
template <class Sequence>
int exitCodeOf(Sequence&& sequence) {
    try {
        std::forward<Sequence>(sequence)();
    } catch (const ProcessEnded& end) {
        return end.exitCode;
    }
    return -1;
}

// A program file: "MZ", its word at 0x3C pointing at offset 0x40, and there
// `newHeader` ("PE\0\0", "NE", "LE", or nothing for a plain DOS program).
inline std::string mzProgram(std::string_view newHeader = {}) {
    std::string bytes = "MZ";
    bytes.resize(0x3C, '\0');
    bytes += std::string("\x40\0\0\0", 4);
    return bytes.append(newHeader).append("code");
}

struct StartedProgram {
    std::string program;
    std::vector<std::string> arguments;
};

struct ShownMessage {
    std::string text;
    MessageStyle style;
    std::string title;
};

class FakeHost : public Host {
public:
    std::string folder = "C:\\Games\\Kelmor";
    std::string arguments;
    std::vector<std::string> probes;  // every fileExist path, in order
    std::vector<StartedProgram> started;
    std::vector<ShownMessage> messages;
    bool dosPrograms = false;      // whether the system runs DOS programs itself
    std::vector<std::string> log;  // "delete <path>", "copy <src> <dst>", "write <path>",
                                   // "flush <path>", "start <prog>"

    // Files: key is the upper-cased path with empty components removed.
    void addFile(const std::string& path, std::string content = "data") {
        files_[key(path)] = {path, std::move(content)};
    }
    bool hasFile(const std::string& path) const { return files_.count(key(path)) != 0; }
    std::string content(const std::string& path) const { return files_.at(key(path)).content; }
    std::size_t fileCount() const { return files_.size(); }

    // Makes the named operation ("delete", "copy", "read", "write", "flush",
    // "start", "exist", "setting") fail for a path (any path when path is "*"), with
    // the given error number. A copy fails on its source's "read" (a
    // SourceFailure), then on its destination's "copy".
    void failOn(const std::string& operation, const std::string& path = "*",
                int errorNumber = EACCES) {
        failures_[{operation, path == "*" ? path : key(path)}] = errorNumber;
    }

    void setSetting(const std::string& app, const std::string& key, const std::string& value) {
        settings[{app, app, key}] = value;
    }
    std::map<std::tuple<std::string, std::string, std::string>, std::string> settings;
    std::vector<std::string> settingWrites;  // "<app>/<section>/<key>=<value>", in order

    std::map<char, std::string> images;  // drive letter -> the image the emulator mounts

    std::string applicationFolder() const override { return folder; }
    std::string shownPath(const std::string& path) const override { return path; }
    std::string cdAdvice;  // what noCdAdvice() gives
    std::string noCdAdvice() const override { return cdAdvice; }
    std::string emulatorAdvice = "Get DOSBox.";  // what noEmulatorAdvice() gives
    std::string noEmulatorAdvice() const override { return emulatorAdvice; }
    // Its own files, found without regard to case, as on Windows.
    ImageFiles& imageFiles() override { return imageFiles_.emplace(*this); }
    std::optional<std::string> driveImage(char letter) const override {
        const auto image = images.find(letter);
        if (image == images.end()) return std::nullopt;
        return image->second;
    }

    bool fileExist(const std::string& path) noexcept override {
        probes.push_back(path);
        if (fails("exist", path)) return false;
        return hasFile(path);
    }
    void copyFile(const std::string& source, const std::string& destination) override {
        log.push_back("copy " + source + " " + destination);
        readingSource([&] {
            check("read", source);
            if (!hasFile(source)) throw error(ENOENT, source);
        });
        check("copy", destination);
        addFile(destination, content(source));
    }
    void deleteFile(const std::string& path) override {
        log.push_back("delete " + path);
        check("delete", path);
        if (files_.erase(key(path)) == 0) throw error(ENOENT, path);
    }
    std::string readFile(const std::string& path) override {
        check("read", path);
        if (!hasFile(path)) throw error(ENOENT, path);
        return content(path);
    }
    std::string readFileBytes(const std::string& path, std::uint64_t offset,
                              std::size_t count) override {
        const std::string whole = readFile(path);
        return offset < whole.size() ? whole.substr(offset, count) : std::string();
    }
    void replaceFile(const std::string& path, std::string_view text) override {
        log.push_back("write " + path);
        check("write", path);
        addFile(path, std::string(text));
    }
    void flushWrites(const std::string& path) override {
        log.push_back("flush " + path);
        check("flush", path);
    }
    void startProgram(const std::string& program, const std::vector<std::string>& args) override {
        log.push_back("start " + program);
        check("start", program);
        started.push_back({program, args});
    }
    bool runsDosPrograms() const noexcept override { return dosPrograms; }
    void messageBox(const std::string& text, MessageStyle style,
                    const std::string& title) override {
        messages.push_back({text, style, title});
    }
    std::string commandLine() const override { return arguments; }
    [[noreturn]] void endProcess(int exitCode) override { throw ProcessEnded{exitCode}; }
    std::string readSetting(const std::string& app, const std::string& section,
                            const std::string& k, const std::string& def) noexcept override {
        const auto found = settings.find({app, section, k});
        return found == settings.end() ? def : found->second;
    }
    void writeSetting(const std::string& app, const std::string& section, const std::string& k,
                      const std::string& value) override {
        check("setting", k);
        settings[{app, section, k}] = value;
        settingWrites.push_back(app + "/" + section + "/" + k + "=" + value);
    }
    std::optional<double> numericValue(std::string_view text) const override {
        // Plain decimal syntax is enough for the fake: digits, sign, point, exponent.
        const std::string copy(text);
        if (copy.empty()) return std::nullopt;
        char* end = nullptr;
        const double value = std::strtod(copy.c_str(), &end);
        while (*end == ' ') ++end;
        if (*end != '\0' || copy.find_first_of("xXnN\t\n\r\v\f") != std::string::npos)
            return std::nullopt;
        return value;
    }

private:
    struct File {
        std::string path;
        std::string content;
    };

    static std::string key(const std::string& path) {
        std::string result;
        for (std::size_t i = 0; i < path.size(); ++i) {
            if (path[i] == '\\' && i + 1 < path.size() && path[i + 1] == '\\') continue;
            result += static_cast<char>(std::toupper(static_cast<unsigned char>(path[i])));
        }
        return result;
    }
    // The error number of a failure set up for the operation on the path; 0 when none.
    int failure(const std::string& operation, const std::string& path) const {
        for (const std::string& which : {key(path), std::string("*")}) {
            const auto found = failures_.find({operation, which});
            if (found != failures_.end()) return found->second;
        }
        return 0;
    }
    bool fails(const std::string& operation, const std::string& path) const {
        return failure(operation, path) != 0;
    }
    void check(const std::string& operation, const std::string& path) const {
        if (const int number = failure(operation, path)) throw error(number, path);
    }
    static std::system_error error(int number, const std::string& what) {
        return std::system_error(number, std::generic_category(), what);
    }

    std::map<std::string, File> files_;
    std::optional<FakeImageFiles> imageFiles_;
    std::map<std::pair<std::string, std::string>, int> failures_;
};

}  // namespace kelmor::testing
