// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/map_editor.hpp"

#include <cstdint>

#include "core/dosbox_config.hpp"
#include "core/failure.hpp"
#include "core/host.hpp"
#include "core/kit_emulator.hpp"
#include "core/settings_contract.hpp"
#include "core/text.hpp"
#include "core/unhandled_error.hpp"

namespace kelmor {
namespace {

constexpr std::size_t kNewHeaderPointer = 0x3C;  // where "MZ" programs point at a newer header

std::uint32_t littleEndian32(std::string_view bytes) {
    std::uint32_t value = 0;
    for (std::size_t i = 4; i-- > 0;) value = value << 8 | static_cast<unsigned char>(bytes[i]);
    return value;
}

// The last component of a Windows path.
std::string fileName(const std::string& path) { return path.substr(path.find_last_of('\\') + 1); }

// Shows why the map editor did not open and ends the process.
void tellNotOpened(Host& host, const std::string& text, std::string_view title) {
    host.messageBox(text, MessageStyle::Warning, std::string(title));
    host.endProcess(kMapEditorNotStartedExitCode);
}

// What to do when MAPPER.EXE is not the kit's map editor.
std::string copyAgainText(const std::string& folder) {
    return "Copy the map editor from the Kelmor Plix CD (KIT\\USA\\MAPPER.EXE, or the one in "
           "KIT\\FR or KIT\\AL) into the folder " +
           folder + ", then open the map editor again.";
}

std::string noEmulatorText(const Host& host, const std::system_error& failure) {
    return noEmulatorMessage(
        host,
        "The map editor MAPPER.EXE is a DOS program, which this system cannot run by "
        "itself, and DOSBox, which would run it, cannot be started.",
        "open the map editor again", failure);
}

std::string notStartedText(const std::string& folder, const std::system_error& failure) {
    return "The map editor MAPPER.EXE cannot be started, and it is no DOS program that DOSBox "
           "could run instead.\n\n" +
           copyAgainText(folder) + "\n\n" + unhandledErrorReport(failure);
}

std::string hostProgramText(const std::string& folder) {
    return "MAPPER.EXE in the folder " + folder +
           " is a Linux program or a script, not the "
           "kit's map editor, which is a DOS program, so it is not started.\n\n" +
           copyAgainText(folder);
}

std::string unreadableText(const std::string& folder, const std::system_error& failure) {
    return "The map editor MAPPER.EXE cannot be read, so what kind of program it is cannot be "
           "told, and it is not started.\n\n" +
           copyAgainText(folder) + "\n\n" + unhandledErrorReport(failure);
}

// How programs of a POSIX system begin: no DOS or Windows program begins so.
constexpr std::string_view kHostProgramStarts[] = {
    "\x7F"
    "ELF",
    "#!"};

bool startsWith(std::string_view bytes, std::string_view start) {
    return bytes.substr(0, start.size()) == start;
}

}  // namespace

ProgramKind programKind(Host& host, const std::string& program) {
    const std::string header = host.readFileBytes(program, 0, kNewHeaderPointer + 4);
    if (!startsWith(header, "MZ")) {
        for (std::string_view start : kHostProgramStarts)
            if (startsWith(header, start)) return ProgramKind::Host;
        return ProgramKind::Dos;  // a COM program, which DOS runs whatever its name
    }
    if (header.size() < kNewHeaderPointer + 4) return ProgramKind::Dos;
    const std::uint32_t newHeaderAt = littleEndian32(header.substr(kNewHeaderPointer));
    std::string newHeader;
    dropFailure([&] { newHeader = host.readFileBytes(program, newHeaderAt, 4); });
    if (newHeader == std::string_view("PE\0\0", 4) || startsWith(newHeader, "NE"))
        return ProgramKind::Windows;
    return ProgramKind::Dos;
}

std::string mapEditorAutoexecLines(const std::string& applicationFolder,
                                   const std::string& mapEditor) {
    const std::string crlf(kCrLf);
    return crlf + "cls" + crlf + applicationFolderMount(applicationFolder) + crlf + "B:" + crlf +
           mapEditor + crlf + "exit";
}

void openMapEditor(Host& host, const std::string& mapEditor, std::string_view programTitle) {
    if (!host.fileExist(mapEditor)) return;
    const std::string folder = host.applicationFolder();
    ProgramKind kind = ProgramKind::Dos;
    if (const auto failure = failureOf([&] { kind = programKind(host, mapEditor); }))
        return tellNotOpened(host, unreadableText(host.shownPath(folder), *failure), programTitle);
    if (kind == ProgramKind::Host)
        return tellNotOpened(host, hostProgramText(host.shownPath(folder)), programTitle);
    if (kind == ProgramKind::Windows || host.runsDosPrograms()) {
        const auto failure = failureOf([&] { host.startProgram(mapEditor, {}); });
        if (!failure) return;
        // Whatever stopped a DOS program, the emulator is the way left.
        if (kind == ProgramKind::Windows)
            return tellNotOpened(host, notStartedText(host.shownPath(folder), *failure),
                                 programTitle);
    }
    const std::string configuration =
        renderPlaceholders(host, configurationTemplate(TemplateVariant::Kit), kKitSettings) +
        mapEditorAutoexecLines(folder, fileName(mapEditor));
    writeConfiguration(host, configuration, "\\" + std::string(kMapEditorConfiguration));
    if (const auto failure = failureOf([&] { startEmulator(host, kMapEditorConfiguration); }))
        tellNotOpened(host, noEmulatorText(host, *failure), programTitle);
}

}  // namespace kelmor
