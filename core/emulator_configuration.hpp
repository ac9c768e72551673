// SPDX-License-Identifier: GPL-3.0-or-later
// A configuration as the launchers write it (the template of a DOSBox of
// 2003, dosbox.conf and mapeditor.conf), told in the dialect of the emulator
// at hand: the same meaning (window or full screen, output, CPU speed,
// memory, the sound cards and their ports, the mounts and programs of
// [autoexec]) in the keys and values that emulator takes, without what it
// has no place for, so that it reads the whole file without a warning.
//
// Each dialect has a table of rules, one or more for a key of a section. A
// key's rules whose condition holds each give one setting (a section, a
// key and a value: the key's own value, or one of the rule's); a rule that
// gives no key leaves the line out. A key that no rule of its dialect takes
// passes as it is. The settings are written section by section in the order
// in which each section is first given a setting, [autoexec] last, its lines
// as they were but for the mount options and commands the emulator takes
// otherwise.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/emulator_dialect.hpp"

namespace kelmor {

// A setting given on top of the configuration's own, in its section: one
// that replaces a key of the same name there, else a line of its own.
struct EmulatorSetting {
    std::string section;  // without brackets, in lower case: "midi"
    std::string key;
    std::string value;
};

// `configuration` in the dialect of `dialect`, with `added` on top. An
// Unknown emulator gets the configuration as it is, and nothing added.
std::string configurationInDialect(std::string_view configuration, EmulatorDialect dialect,
                                   const std::vector<EmulatorSetting>& added = {});

// The arguments that keep an emulator to the configuration files it is
// given (DOSBox Staging would also read dosbox.conf from its working
// folder); none for the others.
std::vector<std::string> configurationOnlyArguments(EmulatorDialect dialect);

}  // namespace kelmor
