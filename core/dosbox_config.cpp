// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/dosbox_config.hpp"

#include <initializer_list>
#include <vector>

#include "core/emulator_configuration.hpp"
#include "core/host.hpp"
#include "core/program_version.hpp"
#include "core/settings_contract.hpp"
#include "core/text.hpp"
#include "core/unhandled_error.hpp"

namespace kelmor {
namespace {

struct Section {
    std::string_view header;
    std::initializer_list<std::string_view> lines;  // key lines, then the blank ones
};

// The template, section by section. Each section ends with one empty line,
// "[bios]" with two; "[autoexec]" is the last line and the launchers append
// their lines behind it.
std::string buildTemplate(std::string_view renderLine) {
    const std::initializer_list<Section> sections{
        {"[sdl]",
         {"fullscreen=(fullscreen)", "fulldouble=false", "fullfixed=(fullfixed)",
          "fullresolution=800x600", "output=(output)", "hwscale=1.00", "autolock=true",
          "sensitivity=100", "waitonerror=true", "priority=higher,normal", "mapperfile=mapper.txt",
          ""}},
        {"[dosbox]", {"language=", "machine=vga", "captures=capture", "memsize=16", ""}},
        {"[render]", {renderLine, "aspect=false", "scaler=normal2x", ""}},
        {"[cpu]", {"core=normal", "cycles=(cycles)", "cycleup=500", "cycledown=20", ""}},
        {"[mixer]", {"nosound=false", "rate=22050", "blocksize=2048", "prebuffer=10", ""}},
        {"[midi]", {"mpu401=true", "intelligent=true", "device=default", "config=", ""}},
        {"[sblaster]",
         {"type=sb16", "base=220", "irq=7", "dma=1", "hdma=5", "mixer=true", "oplmode=auto",
          "oplrate=22050", ""}},
        {"[gus]",
         {"gus=true", "rate=22050", "base=240", "irq1=5", "irq2=5", "dma1=3", "dma2=3",
          "ultradir=C:\\ULTRASND", ""}},
        {"[speaker]", {"pcspeaker=true", "pcrate=22050", "tandyrate=22050", "disney=true", ""}},
        {"[bios]", {"", ""}},
        {"[dos]", {"xms=true", "ems=true", ""}},
        {"[modem]", {"modem=false", "comport=2", "listenport=23", ""}},
        {"[directserial]",
         {"directserial=false", "comport=1", "realport=COM1", "defaultbps=1200", "parity=N",
          "bytesize=8", "stopbit=1", ""}},
        {"[ipx]", {"ipx=false", ""}},
        {"[autoexec]", {}},
    };
    std::string text;
    for (const Section& section : sections) {
        text.append(section.header).append(kCrLf);
        for (std::string_view line : section.lines) text.append(line).append(kCrLf);
    }
    return text;
}

}  // namespace

std::string configurationTemplate(TemplateVariant variant) {
    return buildTemplate(variant == TemplateVariant::Game ? "frameskip=0" : "frameskip=1");
}

std::string replaceAll(std::string_view text, std::string_view token, std::string_view value) {
    if (token.empty()) return std::string(text);
    std::string result;
    std::size_t from = 0;
    for (std::size_t at = text.find(token); at != std::string_view::npos;
         at = text.find(token, from)) {
        result.append(text.substr(from, at - from)).append(value);
        from = at + token.size();
    }
    result.append(text.substr(from));
    return result;
}

std::optional<std::string_view> sectionOpenedBy(std::string_view line) {
    std::size_t at = 0;
    while (at < line.size() && (line[at] == ' ' || line[at] == '\t')) ++at;
    if (at == line.size() || line[at] != '[') return std::nullopt;
    const std::size_t close = line.find(']', at);
    if (close == std::string_view::npos) return std::nullopt;
    return line.substr(at + 1, close - at - 1);
}

std::string batchText(std::string_view text) { return replaceAll(text, "%", "%%"); }

std::string batchReading(std::string_view text) { return replaceAll(text, "%%", "%"); }

std::string mountFolderArgument(std::string_view folder) { return "\"" + batchText(folder) + "\""; }

std::string imageMountLine(std::string_view imgmount, std::string_view drive,
                           std::string_view imageArgument) {
    std::string line(imgmount);
    line += ' ';
    line += drive;
    line += ' ';
    line += imageArgument;
    line += " -t iso";
    return line;
}

std::string remarkLine(std::string_view rem, std::string_view text) {
    std::string shown(text);
    for (char& c : shown)
        if (c == '<' || c == '>' || c == '|' || static_cast<unsigned char>(c) < 0x20 || c == '\x7f')
            c = '?';
    return std::string(rem) + " " + batchText(shown);
}

std::string renderPlaceholders(Host& host, std::string_view workingText,
                               std::string_view settings) {
    std::string text(workingText);
    for (const Placeholder& placeholder : kPlaceholders) {
        const std::string value = storedSetting(host, settings, placeholder.setting);
        text = replaceAll(text, placeholder.token, value);
    }
    return text;
}

EmulatorIdentity emulatorAtHand(Host& host) {
    const auto version =
        programVersion(host, host.applicationFolder() + std::string(kEmulatorSuffix));
    return version ? emulatorFromProgramVersion(*version) : EmulatorIdentity{};
}

std::string dialectCopyName(std::string_view configuration, EmulatorDialect dialect) {
    if (dialect == EmulatorDialect::Unknown || dialect == EmulatorDialect::Dosbox074) return {};
    const std::size_t dot = configuration.rfind('.');
    return std::string(configuration.substr(0, dot)) + "." + std::string(dialectTag(dialect)) +
           std::string(dot == std::string_view::npos ? "" : configuration.substr(dot));
}

void writeConfiguration(Host& host, std::string_view workingText, std::string_view suffix) {
    std::string content(workingText);
    content.append(kCrLf);
    host.replaceFile(host.applicationFolder() + std::string(suffix), content);
    const EmulatorDialect dialect = emulatorAtHand(host).dialect;
    const std::string copy = dialectCopyName(suffix.substr(1), dialect);
    if (!copy.empty())
        host.replaceFile(host.applicationFolder() + "\\" + copy,
                         configurationInDialect(content, dialect));
}

void startEmulator(Host& host, std::string_view configuration) {
    const EmulatorDialect dialect = emulatorAtHand(host).dialect;
    const std::string copy = dialectCopyName(
        configuration.empty() ? kConfigurationSuffix.substr(1) : configuration, dialect);
    std::vector<std::string> arguments{std::string(kEmulatorArgument)};
    if (!copy.empty()) {
        const auto only = configurationOnlyArguments(dialect);
        arguments.insert(arguments.end(), only.begin(), only.end());
        arguments.insert(arguments.end(), {"-conf", copy});
    } else if (!configuration.empty()) {
        arguments.insert(arguments.end(), {"-conf", std::string(configuration)});
    }
    host.startProgram(host.applicationFolder() + std::string(kEmulatorSuffix), arguments);
}

std::string noEmulatorMessage(const Host& host, std::string_view cannot, std::string_view again,
                              const std::system_error& failure) {
    return std::string(cannot) + "\n\n" + host.noEmulatorAdvice() + " Then " + std::string(again) +
           ".\n\n" + unhandledErrorReport(failure);
}

}  // namespace kelmor
