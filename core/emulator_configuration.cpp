// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/emulator_configuration.hpp"

#include <algorithm>
#include <array>
#include <span>

#include "core/ascii_text.hpp"
#include "core/dosbox_config.hpp"
#include "core/text.hpp"

namespace kelmor {
namespace {

// When a rule takes a key's value.
enum class When {
    Always,
    Equals,     // the value is `equals`, in any letter case
    Digits,     // the value is a number of digits only
    NotDigits,  // anything else
};

// What value a rule gives.
enum class Gives {
    Own,             // the key's own value
    Fixed,           // the rule's `value`
    CommasAsBlanks,  // the key's own value, each ',' a blank
};

struct Rule {
    std::string_view section;  // lower case
    std::string_view key;      // empty: every key of the section
    When when = When::Always;
    std::string_view equals;
    std::string_view toSection;
    std::string_view toKey;  // empty: the line is left out
    Gives gives = Gives::Own;
    std::string_view value;
};

constexpr Rule leaveOut(std::string_view section, std::string_view key = {}) {
    return {section, key, When::Always, {}, {}, {}, Gives::Own, {}};
}

constexpr Rule rename(std::string_view section, std::string_view key, std::string_view toSection,
                      std::string_view toKey) {
    return {section, key, When::Always, {}, toSection, toKey, Gives::Own, {}};
}

constexpr Rule valueFor(std::string_view section, std::string_view key, std::string_view equals,
                        std::string_view value) {
    return {section, key, When::Equals, equals, section, key, Gives::Fixed, value};
}

constexpr Rule settingFor(std::string_view section, std::string_view key, std::string_view equals,
                          std::string_view toSection, std::string_view toKey,
                          std::string_view value) {
    return {section, key, When::Equals, equals, toSection, toKey, Gives::Fixed, value};
}

// What the emulators after DOSBox 0.63 name otherwise than the template:
// "vga" is their "svga_s3", and an MPU-401 that is on is an intelligent one.
constexpr Rule kLaterValues[] = {
    valueFor("dosbox", "machine", "vga", "svga_s3"),
    valueFor("midi", "mpu401", "true", "intelligent"),
};

// What DOSBox-X and DOSBox Staging name otherwise still, or have no place
// for: the fixed fullscreen size, hardware scaling, the MIDI device of the
// template (the kit chooses one of its own), the sound cards' keys by their
// later names with one IRQ and DMA for the GUS, a modem or a direct serial
// port (their serial ports are off or dummies by default).
constexpr Rule kLaterNames[] = {
    leaveOut("sdl", "fullfixed"),
    leaveOut("sdl", "hwscale"),
    valueFor("midi", "mpu401", "false", "none"),
    leaveOut("midi", "intelligent"),
    leaveOut("midi", "device"),
    leaveOut("midi", "config"),
    rename("sblaster", "type", "sblaster", "sbtype"),
    rename("sblaster", "base", "sblaster", "sbbase"),
    rename("sblaster", "mixer", "sblaster", "sbmixer"),
    rename("gus", "base", "gus", "gusbase"),
    rename("gus", "irq1", "gus", "gusirq"),
    leaveOut("gus", "irq2"),
    rename("gus", "dma1", "gus", "gusdma"),
    leaveOut("gus", "dma2"),
    leaveOut("modem"),
    leaveOut("directserial"),
};

// DOSBox-X takes the other keys of DOSBox 0.74, the GUS's rate by its later
// name; it passes over a key it does not know without a word, so what it
// has no place for is left out only to keep the copy plain.
constexpr Rule kDosboxX[] = {
    rename("gus", "rate", "gus", "gusrate"),
};

// DOSBox Staging, of every version, has besides no place for the
// fullscreen double buffer, frame skipping, software scalers, or the sample
// rates of single devices (it resamples all to the mixer's).
constexpr Rule kStaging[] = {
    leaveOut("sdl", "fulldouble"),
    valueFor("sdl", "output", "surface", "texturenb"),
    valueFor("sdl", "output", "overlay", "texturenb"),
    valueFor("sdl", "output", "ddraw", "texturenb"),
    valueFor("sdl", "output", "openglnb", "opengl"),
    settingFor("sdl", "autolock", "true", "mouse", "mouse_capture", "onclick"),
    leaveOut("sdl", "autolock"),
    rename("sdl", "sensitivity", "mouse", "mouse_sensitivity"),
    rename("dosbox", "captures", "capture", "capture_dir"),
    leaveOut("render", "frameskip"),
    leaveOut("render", "scaler"),
    // Its own cycles, for real and protected mode alike, which a player's
    // cpu_cycles can still change; "cycles" would switch it to its legacy
    // CPU settings, which only a value such as "auto" or "max 80%" needs.
    {"cpu", "cycles", When::Digits, {}, "cpu", "cpu_cycles", Gives::Own, {}},
    {"cpu", "cycles", When::Digits, {}, "cpu", "cpu_cycles_protected", Gives::Fixed, "auto"},
    {"cpu", "cycles", When::NotDigits, {}, "cpu", "cycles", Gives::Own, {}},
    leaveOut("sblaster", "oplrate"),
    leaveOut("gus", "rate"),
    valueFor("speaker", "pcspeaker", "true", "impulse"),
    valueFor("speaker", "pcspeaker", "false", "none"),
    leaveOut("speaker", "pcrate"),
    leaveOut("speaker", "tandyrate"),
    settingFor("speaker", "disney", "true", "speaker", "lpt_dac", "disney"),
    leaveOut("speaker", "disney"),
};

// Staging before 0.83 still takes a fixed fullscreen resolution, waits on
// an error and sets its priority, a list now separated by blanks.
constexpr Rule kStaging082[] = {
    {"sdl", "priority", When::Always, {}, "sdl", "priority", Gives::CommasAsBlanks, {}},
};

// 0.83 always shows fullscreen at the desktop's resolution, and has no
// waiting on an error or priority any more.
constexpr Rule kStaging083[] = {
    leaveOut("sdl", "fullresolution"),
    leaveOut("sdl", "waitonerror"),
    leaveOut("sdl", "priority"),
};

// What every Staging is given besides: the [autoexec] of this configuration
// replaces those of the files read before it (the player's own Staging
// configuration), rather than running after them.
const std::vector<EmulatorSetting> kStagingAdded{{"dosbox", "autoexec_section", "overwrite"}};

// A dialect's tables, the first one that takes a key deciding for it.
using DialectRules = std::array<std::span<const Rule>, 4>;

DialectRules rulesOf(EmulatorDialect dialect) {
    switch (dialect) {
        case EmulatorDialect::Dosbox074: return {kLaterValues};
        case EmulatorDialect::Staging: return {kStaging082, kStaging, kLaterNames, kLaterValues};
        case EmulatorDialect::Staging083: return {kStaging083, kStaging, kLaterNames, kLaterValues};
        case EmulatorDialect::DosboxX: return {kDosboxX, kLaterNames, kLaterValues};
        case EmulatorDialect::Unknown: break;
    }
    return {};
}

bool isStaging(EmulatorDialect dialect) {
    return dialect == EmulatorDialect::Staging || dialect == EmulatorDialect::Staging083;
}

bool allDigits(std::string_view value) {
    return !value.empty() &&
           std::all_of(value.begin(), value.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool holds(const Rule& rule, std::string_view value) {
    switch (rule.when) {
        case When::Always: return true;
        case When::Equals: return equalIgnoringAsciiCase(value, rule.equals);
        case When::Digits: return allDigits(value);
        case When::NotDigits: return !allDigits(value);
    }
    return false;
}

std::string given(const Rule& rule, std::string_view value) {
    switch (rule.gives) {
        case Gives::Own: return std::string(value);
        case Gives::Fixed: return std::string(rule.value);
        case Gives::CommasAsBlanks: {
            std::string text(value);
            std::replace(text.begin(), text.end(), ',', ' ');
            return text;
        }
    }
    return std::string(value);
}

// The settings of the new configuration, section by section in the order
// in which each was first given one.
class Settings {
public:
    void set(std::string_view section, std::string_view key, std::string value) {
        auto& lines = sectionNamed(section);
        for (auto& line : lines)
            if (equalIgnoringAsciiCase(line.first, key)) {
                line.second = std::move(value);
                return;
            }
        lines.emplace_back(std::string(key), std::move(value));
    }

    std::string text() const {
        std::string text;
        for (const auto& [name, lines] : sections_) {
            text.append("[").append(name).append("]").append(kCrLf);
            for (const auto& [key, value] : lines)
                text.append(key).append("=").append(value).append(kCrLf);
            text.append(kCrLf);
        }
        return text;
    }

private:
    using Lines = std::vector<std::pair<std::string, std::string>>;

    Lines& sectionNamed(std::string_view name) {
        for (auto& section : sections_)
            if (section.first == name) return section.second;
        return sections_.emplace_back(std::string(name), Lines{}).second;
    }

    std::vector<std::pair<std::string, Lines>> sections_;
};

void translateSetting(const DialectRules& rules, const std::string& section, std::string_view key,
                      std::string_view value, Settings& settings) {
    bool taken = false;
    for (const std::span<const Rule> table : rules) {
        for (const Rule& rule : table) {
            if (rule.section != section ||
                (!rule.key.empty() && !equalIgnoringAsciiCase(rule.key, key)))
                continue;
            if (!holds(rule, value)) continue;
            taken = true;
            if (!rule.toKey.empty()) settings.set(rule.toSection, rule.toKey, given(rule, value));
        }
        if (taken) return;
    }
    settings.set(section, key, std::string(value));
}

// Options of MOUNT that give the emulator a real CD drive's own access
// (0.74's -usecd and the ioctl variants): Staging reads a drive as a folder
// and says it ignores them.
constexpr std::string_view kCdDriveOptions[] = {"-ioctl",     "-ioctl_dx", "-ioctl_dio",
                                                "-ioctl_mci", "-noioctl",  "-aspi"};

bool isCdDriveOption(std::string_view word) {
    return std::any_of(
        std::begin(kCdDriveOptions), std::end(kCdDriveOptions),
        [&](std::string_view option) { return equalIgnoringAsciiCase(word, option); });
}

// A line of [autoexec] as the emulator of `dialect` takes it: Staging's
// MOUNT without the CD drive options, and 0.83's MOUNT in place of IMGMOUNT,
// which it has made a part of MOUNT. Every other byte stays.
std::string autoexecLine(std::string_view line, EmulatorDialect dialect) {
    std::size_t at = 0;
    const auto first = nextWord(line, at, kBlanksAndCr);
    if (!first || first->quoted || !isStaging(dialect)) return std::string(line);
    std::string_view command = first->text;
    const bool quiet = !command.empty() && command.front() == '@';
    if (quiet) command.remove_prefix(1);
    const bool imageMount = equalIgnoringAsciiCase(command, "imgmount");
    if (!imageMount && !equalIgnoringAsciiCase(command, "mount")) return std::string(line);

    std::string text(line.substr(0, first->begin));
    text += quiet ? "@" : "";
    text += imageMount && dialect == EmulatorDialect::Staging083 ? "MOUNT" : std::string(command);
    std::size_t copied = first->end;
    while (const auto word = nextWord(line, at, kBlanksAndCr)) {
        const bool usecd = !word->quoted && equalIgnoringAsciiCase(word->text, "-usecd");
        if (!word->quoted && (usecd || isCdDriveOption(word->text))) {
            if (usecd) nextWord(line, at, kBlanksAndCr);  // and its drive number
            copied = at;
            continue;
        }
        text += line.substr(copied, word->end - copied);
        copied = word->end;
    }
    text += line.substr(copied);
    return text;
}

}  // namespace

std::string configurationInDialect(std::string_view configuration, EmulatorDialect dialect,
                                   const std::vector<EmulatorSetting>& added) {
    if (dialect == EmulatorDialect::Unknown) return std::string(configuration);
    const DialectRules rules = rulesOf(dialect);
    Settings settings;
    std::string autoexec;
    std::string section;
    bool inAutoexec = false;
    for (const TextLine& line : textLines(configuration)) {
        if (const auto opened = sectionOpenedBy(line.content)) {
            section = lowerAscii(*opened);
            inAutoexec = section == "autoexec";
            continue;
        }
        if (inAutoexec) {
            autoexec.append(autoexecLine(line.content, dialect)).append(line.end);
            continue;
        }
        const std::string_view entry = trimBlanks(line.content);
        const std::size_t equals = entry.find('=');
        if (section.empty() || equals == std::string_view::npos || entry.front() == '#' ||
            entry.front() == ';')
            continue;
        translateSetting(rules, section, trimBlanks(entry.substr(0, equals)),
                         trimBlanks(entry.substr(equals + 1)), settings);
    }
    if (isStaging(dialect))
        for (const EmulatorSetting& setting : kStagingAdded)
            settings.set(setting.section, setting.key, setting.value);
    for (const EmulatorSetting& setting : added)
        settings.set(setting.section, setting.key, setting.value);
    return settings.text() + "[autoexec]" + std::string(kCrLf) + autoexec;
}

std::vector<std::string> configurationOnlyArguments(EmulatorDialect dialect) {
    if (isStaging(dialect)) return {"-nolocalconf"};
    return {};
}

}  // namespace kelmor
