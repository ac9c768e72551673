// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/midi_choice.hpp"

#include "core/ascii_text.hpp"
#include "core/ini_text.hpp"
#include "core/text.hpp"

namespace kelmor {
namespace {

// "Client 128 : "FLUID Synth (4391)" [User Legacy]": the client's number,
// and whether a user program runs it.
struct ClientLine {
    std::string number;
    bool user = false;
};

std::optional<ClientLine> clientLine(std::string_view line) {
    constexpr std::string_view start = "Client ";
    if (line.substr(0, start.size()) != start) return std::nullopt;
    const std::string_view number =
        trimBlanks(line.substr(start.size(), line.find(':') - start.size()));
    const std::size_t type = line.rfind('[');
    if (number.empty() || type == std::string_view::npos) return std::nullopt;
    return ClientLine{std::string(number), line.substr(type + 1, 4) == "User"};
}

// "  Port   0 : "Synth input port (4391:0)" (-We-)": its number, when it
// takes events written to it.
std::optional<std::string> writablePort(std::string_view line) {
    line = trimBlanks(line, kBlanksAndCr);
    constexpr std::string_view start = "Port ";
    const std::size_t flags = line.rfind('(');
    if (line.substr(0, start.size()) != start || flags == std::string_view::npos ||
        line.size() < flags + 6 || line.back() != ')')
        return std::nullopt;
    const char write = line[flags + 2];
    if (write != 'W' && write != 'w') return std::nullopt;
    const std::string_view number =
        trimBlanks(line.substr(start.size(), line.find(':') - start.size()));
    if (number.empty()) return std::nullopt;
    return std::string(number);
}

}  // namespace

std::optional<std::string> sequencerSynthesizerPort(std::string_view clients) {
    std::optional<ClientLine> client;
    for (const TextLine& line : textLines(clients)) {
        if (const auto opened = clientLine(line.content)) {
            client = opened;
        } else if (client && client->user) {
            if (const auto port = writablePort(line.content)) return client->number + ":" + *port;
        }
    }
    return std::nullopt;
}

bool namesMidiDevice(std::string_view configuration) {
    const auto device = IniText(configuration).value("midi", "mididevice");
    return device && !trimBlanks(*device, kBlanksAndCr).empty();
}

std::vector<EmulatorSetting> midiSettings(EmulatorDialect dialect, const MidiFacts& facts) {
    if (facts.playerNamedDevice) return {};
    switch (dialect) {
        case EmulatorDialect::Staging:
        case EmulatorDialect::Staging083:
            // Staging finds the sound font by its name in the system's folders.
            if (facts.generalMidiSoundFont.empty()) return {};
            return {{"midi", "mididevice", "fluidsynth"},
                    {"fluidsynth", "soundfont", "default-GM"}};
        case EmulatorDialect::DosboxX:
            if (facts.generalMidiSoundFont.empty()) return {};
            return {{"midi", "mididevice", "fluidsynth"},
                    {"midi", "fluid.soundfont", facts.generalMidiSoundFont}};
        case EmulatorDialect::Dosbox074:
            if (!facts.sequencerSynthesizer) return {};
            return {{"midi", "mididevice", "alsa"},
                    {"midi", "midiconfig", *facts.sequencerSynthesizer}};
        case EmulatorDialect::Unknown: break;
    }
    return {};
}

}  // namespace kelmor
