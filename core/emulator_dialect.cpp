// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/emulator_dialect.hpp"

#include <optional>
#include <utility>

#include "core/ascii_text.hpp"
#include "core/text.hpp"

namespace kelmor {
namespace {

// How each emulator's --version line begins, before its version.
struct VersionLine {
    std::string_view start;
    EmulatorDialect dialect;
    std::string_view name;
};

constexpr VersionLine kVersionLines[] = {
    {"dosbox-staging, version ", EmulatorDialect::Staging, "DOSBox Staging"},
    {"DOSBox-X version ", EmulatorDialect::DosboxX, "DOSBox-X"},
    {"DOSBox version ", EmulatorDialect::Dosbox074, "DOSBox"},
};

// Major and minor of "0.83.0-RC1"; 0 where a part is no number.
std::pair<unsigned, unsigned> majorMinor(std::string_view version) {
    unsigned parts[2] = {0, 0};
    std::size_t at = 0;
    for (unsigned& part : parts) {
        while (at < version.size() && version[at] >= '0' && version[at] <= '9' && part < 100000)
            part = part * 10 + static_cast<unsigned>(version[at++] - '0');
        if (at == version.size() || version[at] != '.') break;
        ++at;
    }
    return {parts[0], parts[1]};
}

EmulatorDialect stagingDialect(unsigned major, unsigned minor) {
    return major > 0 || minor >= 83 ? EmulatorDialect::Staging083 : EmulatorDialect::Staging;
}

// The version word behind a line's start: up to a blank or a comma.
std::string_view versionWord(std::string_view rest) {
    std::size_t end = 0;
    while (end < rest.size() && !isBlank(rest[end]) && rest[end] != ',') ++end;
    return rest.substr(0, end);
}

std::optional<EmulatorIdentity> fromLine(std::string_view line) {
    line = trimBlanks(line, kBlanksAndCr);
    for (const VersionLine& known : kVersionLines) {
        if (line.size() <= known.start.size() ||
            !equalIgnoringAsciiCase(line.substr(0, known.start.size()), known.start))
            continue;
        const std::string_view version = versionWord(line.substr(known.start.size()));
        const auto [major, minor] = majorMinor(version);
        EmulatorDialect dialect = known.dialect;
        std::string_view name = known.name;
        if (dialect == EmulatorDialect::Staging) dialect = stagingDialect(major, minor);
        // DOSBox-X called itself "DOSBox" until its 0.83; DOSBox itself
        // never went beyond 0.74.
        if (dialect == EmulatorDialect::Dosbox074 && major == 0 && minor >= 80) {
            dialect = EmulatorDialect::DosboxX;
            name = "DOSBox-X";
        }
        return EmulatorIdentity{dialect, std::string(name) + " " + std::string(version)};
    }
    return std::nullopt;
}

bool contains(std::string_view text, std::string_view part) {
    return lowerAscii(text).find(lowerAscii(part)) != std::string::npos;
}

// "0.82.2", "2025.2.1": the build number only where there is one.
std::string dottedVersion(const std::array<unsigned, 4>& version) {
    std::string text = std::to_string(version[0]) + "." + std::to_string(version[1]) + "." +
                       std::to_string(version[2]);
    if (version[3] != 0) text += "." + std::to_string(version[3]);
    return text;
}

}  // namespace

EmulatorIdentity emulatorFromVersionOutput(std::string_view output) {
    for (const TextLine& line : textLines(output))
        if (auto identity = fromLine(line.content)) return *identity;
    return {};
}

EmulatorIdentity emulatorFromProgramVersion(const ProgramVersion& version) {
    const std::string number = dottedVersion(version.fileVersion);
    if (contains(version.productName, "DOSBox Staging") ||
        contains(version.fileDescription, "DOSBox Staging"))
        return {stagingDialect(version.fileVersion[0], version.fileVersion[1]),
                "DOSBox Staging " + number};
    if (contains(version.productName, "DOSBox-X") || contains(version.fileDescription, "DOSBox-X"))
        return {EmulatorDialect::DosboxX, "DOSBox-X " + number};
    if (equalIgnoringAsciiCase(version.fileDescription.substr(0, 6), "DOSBox"))
        return {EmulatorDialect::Dosbox074, "DOSBox " + number};
    return {};
}

std::string_view dialectTag(EmulatorDialect dialect) {
    switch (dialect) {
        case EmulatorDialect::Dosbox074: return "dosbox-0.74";
        case EmulatorDialect::Staging: return "staging";
        case EmulatorDialect::Staging083: return "staging-0.83";
        case EmulatorDialect::DosboxX: return "dosbox-x";
        case EmulatorDialect::Unknown: break;
    }
    return "unknown";
}

}  // namespace kelmor
