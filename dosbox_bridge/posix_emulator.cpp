// SPDX-License-Identifier: GPL-3.0-or-later
#include "dosbox_bridge/posix_emulator.hpp"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <system_error>

#include "core/ascii_text.hpp"
#include "core/posix_files/posix_atomic_file.hpp"

namespace kelmor::bridge {

namespace {

// The parent of a process, from /proc/<id>/stat ("<id> (<name>) <state>
// <parent> ..."; the name may hold blanks and brackets); 0 when unknown.
long parentOf(long id) {
    std::string stat;
    try {
        stat = posix_files::readWholeFile("/proc/" + std::to_string(id) + "/stat");
    } catch (const std::system_error&) {
        return 0;
    }
    const std::size_t nameEnd = stat.rfind(')');
    if (nameEnd == std::string::npos) return 0;
    char state = 0;
    long parent = 0;
    if (std::sscanf(stat.c_str() + nameEnd + 1, " %c %ld", &state, &parent) != 2) return 0;
    return parent;
}

}  // namespace

bool isThisProcessOrAnAncestor(long id) {
    long current = getpid();
    for (int depth = 0; current > 0 && depth < 4096; ++depth) {
        if (current == id) return true;
        current = parentOf(current);
    }
    return false;
}

std::vector<std::string> emulatorArguments(const std::vector<std::string>& bridgeArguments,
                                           const ConfigurationCopier& copyOf) {
    std::vector<std::string> arguments;
    bool configurationNamed = false;
    for (std::size_t i = 0; i < bridgeArguments.size(); ++i) {
        const std::string& argument = bridgeArguments[i];
        if (equalIgnoringAsciiCase(argument, "-noconsole")) continue;
        arguments.push_back(argument);
        if (!equalIgnoringAsciiCase(argument, "-conf") || i + 1 == bridgeArguments.size()) continue;
        configurationNamed = true;
        const std::string& file = bridgeArguments[++i];
        arguments.push_back(copyOf(file).value_or(file));
    }
    if (!configurationNamed) {
        if (const auto copy = copyOf(std::string(kDefaultConfiguration)))
            arguments.insert(arguments.begin(), {"-conf", *copy});
    }
    return arguments;
}

}  // namespace kelmor::bridge
