// SPDX-License-Identifier: GPL-3.0-or-later
// INI text, the one format of the kit's per-user files (the settings store
// and the drive map): "[section]" headers and "key=value" entries.
//
//  - A UTF-8 byte-order mark at the start is skipped (and kept on writing).
//  - A line ends at LF; a CR before the LF is not part of the line.
//  - Lines whose first non-blank character is ';' or '#' are comments.
//  - A header is "[name]", blanks around it and around the name ignored.
//  - An entry is "key=value": the key is the text before the first '=',
//    without blanks around it; the value is everything after that '=',
//    verbatim (blanks, '=', ';' and '#' included).
//  - Anything else (no '=', an empty key, an unclosed header) is kept but
//    carries no meaning; entries above the first header belong to no section.
//  - Section names and keys match without regard to ASCII letter case; the
//    first matching entry counts.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kelmor {

class IniText {
public:
    IniText() = default;
    explicit IniText(std::string_view text);

    // The value of the first entry `key` within a section `section`.
    std::optional<std::string> value(std::string_view section, std::string_view key) const;

    // Every entry (key, value) of the sections named `section`, in text order.
    std::vector<std::pair<std::string, std::string>> entries(std::string_view section) const;

    // True when section, key and value can be written so that reading them
    // back gives the same: no CR or LF anywhere, a non-empty section name,
    // a non-empty key without '=' that does not start with '[', ';' or '#'.
    static bool canHold(std::string_view section, std::string_view key, std::string_view value);

    // Stores a value: replaces the entry that value() finds, else adds the
    // entry at the end of the first section of that name, else adds the
    // section at the end. Every other line stays as it was. Throws
    // std::system_error(EINVAL) when canHold() refuses the entry.
    void setValue(std::string_view section, std::string_view key, std::string_view value);

    // Removes every entry `key` within the sections named `section`.
    void removeEntries(std::string_view section, std::string_view key);

    // The whole text, lines joined by LF.
    std::string text() const;

private:
    enum class Kind { Other, Section, Entry };
    struct Line {
        std::string raw;  // the line as read, a trailing CR included
        Kind kind = Kind::Other;
        std::string name;         // section name or entry key, blanks trimmed
        std::size_t valueAt = 0;  // where an entry's value starts in raw
        bool carriageReturn = false;
        bool blank = false;  // nothing but blanks
    };

    static Line parseLine(std::string raw);
    std::optional<std::size_t> findEntry(std::string_view section, std::string_view key) const;
    // A new line's text, with a CR when the text's lines end in CR LF.
    std::string newLine(std::string text) const;
    // Gives the last line a line end if it has none.
    void endLastLine();

    static constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

    std::vector<Line> lines_;
    bool finalNewline_ = false;
    bool byteOrderMark_ = false;
};

}  // namespace kelmor
