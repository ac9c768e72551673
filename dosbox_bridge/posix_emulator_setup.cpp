// SPDX-License-Identifier: GPL-3.0-or-later
#include "dosbox_bridge/posix_emulator_setup.hpp"

#include <sys/stat.h>

#include <system_error>

#include "core/midi_choice.hpp"
#include "core/posix_files/posix_atomic_file.hpp"

namespace kelmor::bridge {
namespace {

// A file's text; empty when it cannot be read.
std::string textOf(const std::string& path) {
    try {
        return posix_files::readWholeFile(path);
    } catch (const std::system_error&) {
        return {};
    }
}

bool isRegularFile(const char* path) {
    struct stat status {};
    return stat(path, &status) == 0 && S_ISREG(status.st_mode);
}

MidiFacts midiFacts(const std::string& userConfiguration) {
    MidiFacts facts;
    facts.playerNamedDevice =
        !userConfiguration.empty() && namesMidiDevice(textOf(userConfiguration));
    facts.sequencerSynthesizer = sequencerSynthesizerPort(textOf(kSequencerClients));
    if (isRegularFile(kGeneralMidiSoundFont)) facts.generalMidiSoundFont = kGeneralMidiSoundFont;
    return facts;
}

}  // namespace

EmulatorSetup emulatorSetup(const EmulatorIdentity& emulator,
                            const std::string& userConfiguration) {
    EmulatorSetup setup;
    setup.dialect = emulator.dialect;
    setup.added = midiSettings(emulator.dialect, midiFacts(userConfiguration));
    setup.arguments = configurationOnlyArguments(emulator.dialect);
    return setup;
}

}  // namespace kelmor::bridge
