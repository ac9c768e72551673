#include "core/posix/cue_sheet.hpp"

#include "core/posix/ini_text.hpp"

namespace kelmor::posix {

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

}  // namespace

std::optional<CueTrack> firstCueTrack(std::string_view sheet) {
    if (sheet.substr(0, 3) == "\xEF\xBB\xBF") sheet.remove_prefix(3);
    std::optional<std::string> file;
    std::size_t start = 0;
    while (start < sheet.size()) {
        std::size_t end = sheet.find('\n', start);
        if (end == std::string_view::npos) end = sheet.size();
        const std::string_view line = sheet.substr(start, end - start);
        start = end + 1;

        std::size_t at = 0;
        const std::string_view keyword = nextWord(line, at);
        if (equalIgnoringCase(keyword, "FILE")) {
            const std::string_view name = nextWord(line, at);
            if (!name.empty()) file = std::string(name);
        } else if (equalIgnoringCase(keyword, "TRACK")) {
            nextWord(line, at);  // the track's number
            if (!file) return std::nullopt;
            return CueTrack{*file, upperCase(nextWord(line, at))};
        }
    }
    return std::nullopt;
}

std::string cueFilePath(const std::string& sheetPath, std::string_view file) {
    std::string name(file);
    for (char& c : name)
        if (c == '\\') c = '/';
    if (!name.empty() && name.front() == '/') return name;
    const std::size_t slash = sheetPath.rfind('/');
    if (slash == std::string::npos) return name;
    return sheetPath.substr(0, slash + 1) + name;
}

}  // namespace kelmor::posix
