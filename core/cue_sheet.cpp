// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/cue_sheet.hpp"

#include "core/ascii_text.hpp"
#include "core/text.hpp"

namespace kelmor {

namespace {

// The text of the next word of a sheet's line from `at` on, a quoted one
// without its quotes; "" when none is left. Lines are cut at LF alone, so a
// CR counts as a blank.
std::string_view sheetWord(std::string_view line, std::size_t& at) {
    const auto word = nextWord(line, at, kBlanksAndCr);
    return word ? word->text : std::string_view();
}

// The keyword that begins a sheet's line, `at` moved behind it: a plain
// word, as the emulator reads it; "" for a line that begins with a quoted
// word or with none.
std::string_view keywordOf(std::string_view line, std::size_t& at) {
    const auto word = nextWord(line, at, kBlanksAndCr);
    return word && !word->quoted ? word->text : std::string_view();
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

// What follows a FILE line's keyword from `at` on, as `file` has it: the
// name's word, quotes included, gives way to its name, and the type's word
// to its type where it has one (which a line without a type gains after
// the name).
std::string fileLineRest(std::string_view line, std::size_t at, const CueFileLine& file) {
    const auto name = nextWord(line, at, kBlanksAndCr);
    const std::size_t nameEnd = name ? name->end : line.size();
    std::string rest = " \"" + file.name + "\"";
    if (file.type.empty()) return rest.append(line.substr(nameEnd));
    if (const auto type = nextWord(line, at, kBlanksAndCr)) {
        // A quoted type may have words glued to it, which the new one must not take in.
        const std::string_view after = line.substr(type->end);
        const bool glued = !after.empty() && !isBlank(after.front(), kBlanksAndCr);
        return rest.append(line.substr(nameEnd, type->begin - nameEnd))
            .append(file.type)
            .append(glued ? " " : "")
            .append(after);
    }
    return rest.append(" ").append(file.type).append(line.substr(nameEnd));
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
    for (const TextLine& text : textLines(sheet)) {
        const std::string_view line = text.content;
        std::size_t at = 0;
        const std::string_view keyword = keywordOf(line, at);
        if (equalIgnoringAsciiCase(keyword, "FILE")) {
            std::string name(sheetWord(line, at));
            files.push_back({std::move(name), upperAscii(sheetWord(line, at)), {}});
        } else if (equalIgnoringAsciiCase(keyword, "TRACK") && !files.empty()) {
            const unsigned number = numberOf(sheetWord(line, at));
            files.back().tracks.push_back({number, upperAscii(sheetWord(line, at))});
        }
    }
    return files;
}

std::string cueSheetWithFiles(std::string_view sheet, const std::vector<CueFileLine>& files) {
    std::string written;
    if (sheet.substr(0, 3) == kByteOrderMark) {
        written += kByteOrderMark;
        sheet.remove_prefix(3);
    }
    std::size_t file = 0;
    bool cut = false;
    for (const TextLine& text : textLines(sheet)) {
        const std::string_view line = text.content;
        std::size_t at = 0;
        const bool fileLine = equalIgnoringAsciiCase(keywordOf(line, at), "FILE");
        if (fileLine && file == files.size()) cut = true;
        if (cut) break;
        if (fileLine) {
            written.append(line.substr(0, at));
            written.append(fileLineRest(line, at, files[file++]));
        } else {
            written.append(line);
        }
        written.append(text.end);
    }
    return written;
}

std::optional<CueTrack> firstCueTrack(std::string_view sheet) {
    if (sheet.substr(0, 3) == kByteOrderMark) sheet.remove_prefix(3);
    std::optional<std::string> file;
    std::optional<CueTrack> track;
    for (const TextLine& text : textLines(sheet)) {
        const std::string_view line = text.content;
        std::size_t at = 0;
        const std::string_view keyword = keywordOf(line, at);
        if (track) {
            // The first track's lines run to the next track or file.
            if (equalIgnoringAsciiCase(keyword, "TRACK") || equalIgnoringAsciiCase(keyword, "FILE"))
                break;
            if (equalIgnoringAsciiCase(keyword, "INDEX") && isNumber(sheetWord(line, at), 1)) {
                track->start = sectorOfTime(sheetWord(line, at)).value_or(0);
                break;
            }
        } else if (equalIgnoringAsciiCase(keyword, "FILE")) {
            const std::string_view name = sheetWord(line, at);
            if (!name.empty()) file = std::string(name);
        } else if (equalIgnoringAsciiCase(keyword, "TRACK")) {
            sheetWord(line, at);  // the track's number
            if (!file) return std::nullopt;
            track = CueTrack{*file, upperAscii(sheetWord(line, at))};
        }
    }
    return track;
}

std::string missingCueFile(std::string_view name) {
    const bool beside = name.find_first_of("/\\") == std::string_view::npos;
    return "the sheet names `" + std::string(name) + "`, which is not " +
           (beside ? "beside it" : "there");
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
