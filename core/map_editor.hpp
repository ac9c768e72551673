// SPDX-License-Identifier: GPL-3.0-or-later
// The kit's map editor, MAPPER.EXE in the application folder. It is a DOS
// program: the 32-bit Windows the kit was made for ran it in its DOS
// subsystem, today's systems (64-bit Windows, Wine, Linux) cannot. So it is
// started directly only where the system still runs DOS programs, and
// otherwise in DOSBox, set up as for the kit: the kit's display and cycles
// settings, the application folder as B:, the map editor run from there and
// the emulator ending with it. dosbox.conf, the kit's own, stays untouched:
// the map editor's configuration is a file of its own, handed to the
// emulator with "-conf". A program of the host in its place (an ELF program
// or a script, which the install may have made executable from the CD's
// modes) is never started: the map editor never runs as a host program.
#pragma once

#include <string>
#include <string_view>

namespace kelmor {

class Host;

// What a program file is, told from its bytes, never from its name: DOS
// itself told an .EXE from a .COM by its first two bytes.
enum class ProgramKind {
    Dos,      // "MZ", and no Windows header where the word at 0x3C points (an
              // extended DOS program's "LE" or "LX" header counts as DOS); or a
              // program in COM form, which is any other bytes
    Windows,  // "MZ", and there "PE\0\0" (32 or 64 bit) or "NE" (16 bit)
    Host,     // a program of a POSIX system: an ELF file or a "#!" script
};

// Throws std::system_error when the program's first bytes cannot be read.
ProgramKind programKind(Host& host, const std::string& program);

// The map editor's configuration, beside dosbox.conf in the application folder.
inline constexpr std::string_view kMapEditorConfiguration = "mapeditor.conf";

// The process's exit code when the map editor is there but nothing could start it.
inline constexpr int kMapEditorNotStartedExitCode = 1;

// CR LF, then the lines that mount the application folder as B: and run the
// map editor (its file name there) from it, separated by CR LF, the last one
// "exit" without a line end: the emulator ends with the map editor.
std::string mapEditorAutoexecLines(const std::string& applicationFolder,
                                   const std::string& mapEditor);

// Opens the map editor `mapEditor`, a file of the application folder, and
// returns; waits for nothing. A missing map editor is left alone: nothing
// starts and nothing is said. A DOS program goes to the emulator unless the
// system runs it itself; a failed direct start of it goes there too. A
// Windows program starts directly. A host program, or a file that cannot be
// read, is never started. When the map editor does not open, one message
// (titled `programTitle`) says why and what to do, and the process ends with
// kMapEditorNotStartedExitCode. A configuration that cannot be written is
// the caller's failure, as the kit's own dosbox.conf is.
void openMapEditor(Host& host, const std::string& mapEditor, std::string_view programTitle);

}  // namespace kelmor
