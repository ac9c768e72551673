// SPDX-License-Identifier: GPL-3.0-or-later
#include "dosbox_bridge/mount_translation.hpp"

#include <array>

#include "core/ascii_text.hpp"
#include "core/dosbox_config.hpp"
#include "core/drive_path.hpp"
#include "core/text.hpp"

namespace kelmor::bridge {

namespace {

constexpr std::array<std::string_view, 5> kOptionsWithValue{"-t", "-size", "-label", "-usecd",
                                                            "-freesize"};

// The words of a command line, in order.
std::vector<LineWord> splitWords(std::string_view line) {
    std::vector<LineWord> words;
    std::size_t at = 0;
    while (const auto word = nextWord(line, at)) words.push_back(*word);
    return words;
}

bool isCommand(const std::vector<LineWord>& words, std::string_view name) {
    if (words.empty() || words[0].quoted) return false;
    std::string_view command = words[0].text;
    if (!command.empty() && command.front() == '@') command.remove_prefix(1);
    return equalIgnoringAsciiCase(command, name);
}

bool isMountCommand(const std::vector<LineWord>& words) { return isCommand(words, "mount"); }

// The words of a MOUNT command that are no options or their values: the
// DOS drive, then the host path.
std::vector<LineWord> operands(const std::vector<LineWord>& words) {
    std::vector<LineWord> found;
    for (std::size_t i = 1; i < words.size(); ++i) {
        const LineWord& word = words[i];
        if (!word.quoted && !word.text.empty() && word.text.front() == '-') {
            for (std::string_view option : kOptionsWithValue)
                if (equalIgnoringAsciiCase(word.text, option)) ++i;
            continue;
        }
        found.push_back(word);
    }
    return found;
}

// The image mount that takes the place of a MOUNT line: its blanks and '@'
// before the command, the same DOS drive as the line spells it.
std::string imageMountInPlace(std::string_view line, const std::vector<LineWord>& words,
                              const LineWord& drive, std::string_view image) {
    const bool silent = words[0].text.front() == '@';
    return std::string(line.substr(0, words[0].begin)) +
           imageMountLine(silent ? "@IMGMOUNT" : "IMGMOUNT",
                          line.substr(drive.begin, drive.end - drive.begin), image);
}

// The DOS drive a word names ("E", "e:"); nothing for any other word.
std::optional<char> dosDrive(const LineWord& word) {
    const std::string_view text = word.text;
    if (text.empty() || text.size() > 2 || (text.size() == 2 && text[1] != ':'))
        return std::nullopt;
    const char letter = upperAscii(text[0]);
    if (letter < 'A' || letter > 'Z') return std::nullopt;
    return letter;
}

// The drive a MOUNT or IMGMOUNT line asks for, from the path as it gives it
// (unmounting, "-u", asks for none); nothing for any other line.
std::optional<AskedMount> askedMount(const std::vector<LineWord>& words) {
    const bool image = isCommand(words, "imgmount");
    if (!image && !isMountCommand(words)) return std::nullopt;
    for (const LineWord& word : words)
        if (!word.quoted && equalIgnoringAsciiCase(word.text, "-u")) return std::nullopt;
    const std::vector<LineWord> found = operands(words);
    if (found.size() < 2) return std::nullopt;
    const auto drive = dosDrive(found[0]);
    if (!drive) return std::nullopt;
    return AskedMount{*drive, batchReading(found[1].text), image};
}

// The line with its MOUNT host path mapped, or nothing to change; `asked`
// says what the mount now stands for.
std::optional<std::string> translateLine(std::string_view line, const PathMapper& mapPath,
                                         std::vector<std::string>& problems,
                                         std::optional<AskedMount>& asked) {
    const std::vector<LineWord> words = splitWords(line);
    asked = askedMount(words);
    if (!isMountCommand(words)) return std::nullopt;
    const std::vector<LineWord> found = operands(words);
    if (found.size() < 2 || !splitWindowsPath(found[1].text)) return std::nullopt;
    const LineWord& path = found[1];
    // The launchers double each '%' of a folder for the emulator's shell.
    const auto mount = mapPath(batchReading(path.text));
    if (!mount) return std::nullopt;
    if (asked)
        *asked = {asked->drive, mount->shown.empty() ? mount->path : mount->shown, mount->image};
    const auto argument = mountArgument(mount->path);
    if (!argument) {
        problems.push_back("cannot pass the " + std::string(mount->image ? "image" : "folder") +
                           " of " + std::string(path.text) + " to " +
                           (mount->image ? "IMGMOUNT" : "MOUNT") +
                           ", it holds a double quote or a control character: " + mount->path);
        return std::nullopt;
    }
    if (mount->image) return imageMountInPlace(line, words, found[0], *argument);
    std::string translated(line.substr(0, path.begin));
    translated += *argument;
    translated += line.substr(path.end);
    return translated;
}

}  // namespace

// Always in double quotes: the emulator's shell takes '<', '>' and '|'
// outside quotes for redirections and a blank for the end of the word, and
// inside them only '"' ends the text. Its batch processing makes "%%" a '%'
// and drops control characters other than a tab.
std::optional<std::string> mountArgument(std::string_view hostPath) {
    std::string argument = "\"";
    for (char c : hostPath) {
        if (c == '"' || (static_cast<unsigned char>(c) < 0x20 && c != '\t')) return std::nullopt;
        argument += c;
        if (c == '%') argument += '%';
    }
    argument += '"';
    return argument;
}

MountTranslation translateMountPaths(std::string_view configuration, const PathMapper& mapPath) {
    MountTranslation result;
    result.text.reserve(configuration.size() + 256);
    bool inAutoexec = false;
    for (const TextLine& line : textLines(configuration)) {
        if (const auto section = sectionOpenedBy(line.content)) {
            inAutoexec = equalIgnoringAsciiCase(*section, "autoexec");
        } else if (inAutoexec) {
            std::optional<AskedMount> asked;
            auto translated = translateLine(line.content, mapPath, result.problems, asked);
            result.text += translated ? *translated : std::string(line.content);
            result.text += line.end;
            if (asked) {
                result.mounts.push_back(std::move(*asked));
                result.afterLastMount = result.text.size();
            }
            continue;
        }
        result.text += line.content;
        result.text += line.end;
    }
    return result;
}

}  // namespace kelmor::bridge
