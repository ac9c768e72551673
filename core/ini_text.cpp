// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/ini_text.hpp"

#include <cerrno>
#include <system_error>

#include "core/ascii_text.hpp"

namespace kelmor {

IniText::IniText(std::string_view text) {
    // A Windows editor may begin the file with UTF-8's byte-order mark: it
    // is kept for the written text, but no part of the first line.
    if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
        byteOrderMark_ = true;
        text.remove_prefix(kByteOrderMark.size());
    }
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) {
            lines_.push_back(parseLine(std::string(text.substr(start))));
            return;
        }
        lines_.push_back(parseLine(std::string(text.substr(start, end - start))));
        start = end + 1;
    }
    finalNewline_ = !text.empty();
}

IniText::Line IniText::parseLine(std::string raw) {
    Line line;
    line.raw = std::move(raw);
    std::string_view body = line.raw;
    if (!body.empty() && body.back() == '\r') {
        line.carriageReturn = true;
        body.remove_suffix(1);
    }
    const std::string_view trimmed = trimBlanks(body);
    line.blank = trimmed.empty();
    if (trimmed.empty() || trimmed.front() == ';' || trimmed.front() == '#') return line;
    if (trimmed.front() == '[') {
        if (trimmed.size() >= 2 && trimmed.back() == ']') {
            line.kind = Kind::Section;
            line.name = trimBlanks(trimmed.substr(1, trimmed.size() - 2));
        }
        return line;
    }
    const std::size_t equals = body.find('=');
    if (equals == std::string_view::npos) return line;
    const std::string_view key = trimBlanks(body.substr(0, equals));
    if (key.empty()) return line;
    line.kind = Kind::Entry;
    line.name = key;
    line.valueAt = equals + 1;
    return line;
}

std::optional<std::size_t> IniText::findEntry(std::string_view section,
                                              std::string_view key) const {
    section = trimBlanks(section);
    key = trimBlanks(key);
    bool inSection = false;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        const Line& line = lines_[i];
        if (line.kind == Kind::Section) {
            inSection = equalIgnoringAsciiCase(line.name, section);
        } else if (inSection && line.kind == Kind::Entry &&
                   equalIgnoringAsciiCase(line.name, key)) {
            return i;
        }
    }
    return std::nullopt;
}

std::optional<std::string> IniText::value(std::string_view section, std::string_view key) const {
    const auto index = findEntry(section, key);
    if (!index) return std::nullopt;
    const Line& line = lines_[*index];
    const std::size_t end = line.raw.size() - (line.carriageReturn ? 1 : 0);
    return line.raw.substr(line.valueAt, end - line.valueAt);
}

std::vector<std::pair<std::string, std::string>> IniText::entries(std::string_view section) const {
    section = trimBlanks(section);
    std::vector<std::pair<std::string, std::string>> result;
    bool inSection = false;
    for (const Line& line : lines_) {
        if (line.kind == Kind::Section) {
            inSection = equalIgnoringAsciiCase(line.name, section);
        } else if (inSection && line.kind == Kind::Entry) {
            const std::size_t end = line.raw.size() - (line.carriageReturn ? 1 : 0);
            result.emplace_back(line.name, line.raw.substr(line.valueAt, end - line.valueAt));
        }
    }
    return result;
}

bool IniText::canHold(std::string_view section, std::string_view key, std::string_view value) {
    const auto hasLineEnd = [](std::string_view text) {
        return text.find_first_of("\r\n") != std::string_view::npos;
    };
    if (hasLineEnd(section) || hasLineEnd(key) || hasLineEnd(value)) return false;
    section = trimBlanks(section);
    key = trimBlanks(key);
    if (section.empty() || key.empty()) return false;
    if (key.find('=') != std::string_view::npos) return false;
    return key.front() != '[' && key.front() != ';' && key.front() != '#';
}

std::string IniText::newLine(std::string text) const {
    // New lines follow the line ends the text already uses.
    if (!lines_.empty() && lines_.front().carriageReturn) text += '\r';
    return text;
}

void IniText::setValue(std::string_view section, std::string_view key, std::string_view value) {
    if (!canHold(section, key, value)) {
        throw std::system_error(EINVAL, std::generic_category(),
                                "settings entry with a line end or a reserved character");
    }
    section = trimBlanks(section);
    key = trimBlanks(key);

    if (const auto index = findEntry(section, key)) {
        Line& line = lines_[*index];
        // The key keeps its spelling and its blanks; only the value changes.
        std::string raw = line.raw.substr(0, line.valueAt);
        raw += value;
        if (line.carriageReturn) raw += '\r';
        line = parseLine(std::move(raw));
        return;
    }

    std::string entry = std::string(key) + "=" + std::string(value);
    std::optional<std::size_t> insertAfter;
    bool inSection = false;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        const Line& line = lines_[i];
        if (line.kind == Kind::Section) {
            if (insertAfter) break;
            inSection = equalIgnoringAsciiCase(line.name, section);
            if (inSection) insertAfter = i;
        } else if (inSection && !line.blank) {
            insertAfter = i;
        }
    }
    if (insertAfter) {
        if (*insertAfter + 1 == lines_.size()) endLastLine();
        lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(*insertAfter) + 1,
                      parseLine(newLine(std::move(entry))));
        return;
    }

    endLastLine();
    std::vector<Line> added;
    if (!lines_.empty() && !lines_.back().blank) {
        added.push_back(parseLine(newLine("")));
    }
    added.push_back(parseLine(newLine("[" + std::string(section) + "]")));
    added.push_back(parseLine(newLine(std::move(entry))));
    lines_.insert(lines_.end(), added.begin(), added.end());
}

// One pass, whatever the number of entries it removes.
void IniText::removeEntries(std::string_view section, std::string_view key) {
    section = trimBlanks(section);
    key = trimBlanks(key);
    bool inSection = false;
    std::erase_if(lines_, [&](const Line& line) {
        if (line.kind == Kind::Section) inSection = equalIgnoringAsciiCase(line.name, section);
        return inSection && line.kind == Kind::Entry && equalIgnoringAsciiCase(line.name, key);
    });
}

void IniText::endLastLine() {
    if (!finalNewline_ && !lines_.empty() && !lines_.back().carriageReturn) {
        lines_.back() = parseLine(newLine(lines_.back().raw));
    }
    finalNewline_ = true;
}

std::string IniText::text() const {
    std::string text(byteOrderMark_ ? kByteOrderMark : std::string_view());
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        text += lines_[i].raw;
        if (i + 1 < lines_.size() || finalNewline_) text += '\n';
    }
    return text;
}

}  // namespace kelmor
