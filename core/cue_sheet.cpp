// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/cue_sheet.hpp"

#include "core/text.hpp"

namespace kelmor {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

// The next word of a line from `at` on, a quoted one without its quotes.
std::string_view nextWord(std::string_view line, std::size_t& at) {
    while (at < line.size() && isBlank(line[at])) ++at;
    if (at == line.size()) return {};
    const bool quoted = line[at] == '"';
    const std::size_t start = quoted ? at + 1 : at;
    std::size_t end = start;
    while (end < line.size() && (quoted ? line[end] != '"' : !isBlank(line[end]))) ++end;
    at = end < line.size() ? end + 1 : end;
    return line.substr(start, end - start);
}

std::string upperCase(std::string_view text) {
    std::string upper(text);
    for (char& c : upper)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return upper;
}

// Whether a word is the number `number`, leading zeros allowed ("01").
bool isNumber(std::string_view word, unsigned number) {
    while (word.size() > 1 && word.front() == '0') word.remove_prefix(1);
    return word == std::to_string(number);
}

// The sector that "mm:ss:ff" stands for; nothing for another text.
std::optional<std::uint32_t> sectorOfTime(std::string_view time) {
    std::uint32_t parts[3] = {0, 0, 0};
    std::size_t part = 0, digits = 0;
    for (const char c : time) {
        if (c == ':' && digits > 0 && part < 2) {
            ++part;
            digits = 0;
        } else if (c >= '0' && c <= '9' && digits < 4) {
            parts[part] = parts[part] * 10 + static_cast<std::uint32_t>(c - '0');
            ++digits;
        } else {
            return std::nullopt;
        }
    }
    if (part != 2 || digits == 0) return std::nullopt;
    return (parts[0] * 60 + parts[1]) * 75 + parts[2];
}

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// Hands each line of a sheet to `visit`: its text without the line feed,
// then the line feed ("" for a last line without one).
template <typename Visit>
void forEachLine(std::string_view sheet, Visit visit) {
    for (std::size_t start = 0; start < sheet.size();) {
        std::size_t end = sheet.find('\n', start);
        const bool ended = end != std::string_view::npos;
        if (!ended) end = sheet.size();
        visit(sheet.substr(start, end - start), ended ? std::string_view("\n") : std::string_view());
        start = end + 1;
    }
}

// Where the next word of a line from `at` on ends: past a quoted word's
// closing quote, at the blank after a bare one; the line's end without one.
std::size_t wordEnd(std::string_view line, std::size_t at) {
    while (at < line.size() && isBlank(line[at])) ++at;
    if (at == line.size()) return at;
    if (line[at] == '"') {
        const std::size_t close = line.find('"', at + 1);
        return close == std::string_view::npos ? line.size() : close + 1;
    }
    while (at < line.size() && !isBlank(line[at])) ++at;
    return at;
}

unsigned numberOf(std::string_view word) {
    unsigned number = 0;
    for (const char c : word) {
        if (c < '0' || c > '9' || number > 9999) return 0;
        number = number * 10 + static_cast<unsigned>(c - '0');
    }
    return number;
}

}  // namespace

std::vector<CueSheetFile> cueSheetFiles(std::string_view sheet) {
    if (sheet.substr(0, 3) == kByteOrderMark) sheet.remove_prefix(3);
    std::vector<CueSheetFile> files;
    forEachLine(sheet, [&](std::string_view line, std::string_view) {
        std::size_t at = 0;
        const std::string_view keyword = nextWord(line, at);
        if (equalIgnoringAsciiCase(keyword, "FILE")) {
            files.push_back({std::string(nextWord(line, at)), {}});
        } else if (equalIgnoringAsciiCase(keyword, "TRACK") && !files.empty()) {
            const unsigned number = numberOf(nextWord(line, at));
            files.back().tracks.push_back({number, upperCase(nextWord(line, at))});
        }
    });
    return files;
}

std::string cueSheetWithFiles(std::string_view sheet, const std::vector<std::string>& names) {
    std::string written;
    if (sheet.substr(0, 3) == kByteOrderMark) {
        written += kByteOrderMark;
        sheet.remove_prefix(3);
    }
    std::size_t file = 0;
    bool cut = false;
    forEachLine(sheet, [&](std::string_view line, std::string_view end) {
        std::size_t at = 0;
        const bool fileLine = equalIgnoringAsciiCase(nextWord(line, at), "FILE");
        if (fileLine && file == names.size()) cut = true;
        if (cut) return;
        if (fileLine) {
            const std::size_t keywordEnd = wordEnd(line, 0);
            written.append(line.substr(0, keywordEnd)).append(" \"").append(names[file++]).append("\"");
            written.append(line.substr(wordEnd(line, keywordEnd)));
        } else {
            written.append(line);
        }
        written.append(end);
    });
    return written;
}

std::optional<CueTrack> firstCueTrack(std::string_view sheet) {
    if (sheet.substr(0, 3) == "\xEF\xBB\xBF") sheet.remove_prefix(3);
    std::optional<std::string> file;
    std::optional<CueTrack> track;
    std::size_t start = 0;
    while (start < sheet.size()) {
        std::size_t end = sheet.find('\n', start);
        if (end == std::string_view::npos) end = sheet.size();
        const std::string_view line = sheet.substr(start, end - start);
        start = end + 1;

        std::size_t at = 0;
        const std::string_view keyword = nextWord(line, at);
        if (track) {
            // The first track's lines run to the next track or file.
            if (equalIgnoringAsciiCase(keyword, "TRACK") || equalIgnoringAsciiCase(keyword, "FILE")) break;
            if (equalIgnoringAsciiCase(keyword, "INDEX") && isNumber(nextWord(line, at), 1)) {
                track->start = sectorOfTime(nextWord(line, at)).value_or(0);
                break;
            }
        } else if (equalIgnoringAsciiCase(keyword, "FILE")) {
            const std::string_view name = nextWord(line, at);
            if (!name.empty()) file = std::string(name);
        } else if (equalIgnoringAsciiCase(keyword, "TRACK")) {
            nextWord(line, at);  // the track's number
            if (!file) return std::nullopt;
            track = CueTrack{*file, upperCase(nextWord(line, at))};
        }
    }
    return track;
}

std::string missingCueFile(std::string_view name) {
    const bool beside = name.find_first_of("/\\") == std::string_view::npos;
    return "the sheet names `" + std::string(name) + "`, which is not " + (beside ? "beside it" : "there");
}

std::string cueFilePath(const std::string& sheetPath, std::string_view file, char separator) {
    std::string name(file);
    for (char& c : name)
        if (c == '\\' || c == '/') c = separator;
    const bool absolute = (!name.empty() && name.front() == separator) ||
                          (separator == '\\' && name.size() >= 2 && name[1] == ':');
    if (absolute) return name;
    const std::size_t folderEnd = sheetPath.rfind(separator);
    if (folderEnd == std::string::npos) return name;
    return sheetPath.substr(0, folderEnd + 1) + name;
}

}  // namespace kelmor
