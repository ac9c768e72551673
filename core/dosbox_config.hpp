// SPDX-License-Identifier: GPL-3.0-or-later
// dosbox.conf: the template each launcher carries, its four placeholders,
// how they are filled from the settings store, and how the file is written
// and the emulator started.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <system_error>

#include "core/emulator_dialect.hpp"

namespace kelmor {

class Host;

// The two launchers carry the same template but for the render line.
enum class TemplateVariant { Game, Kit };

// The configuration template: 93 lines, each ending in CR LF, the last one "[autoexec]".
std::string configurationTemplate(TemplateVariant variant);

// Every occurrence of token in text replaced by value, scanning left to right
// without overlap; the value is inserted as it is.
std::string replaceAll(std::string_view text, std::string_view token, std::string_view value);

// Fills the four placeholders (core/settings_contract.hpp) in their fixed
// order from the settings set `settings`, each over the whole text.
std::string renderPlaceholders(Host& host, std::string_view workingText, std::string_view settings);

// The section a line of a configuration opens, as the emulator reads it: a
// line whose first non-blank character is '[' and that holds a ']' opens
// the section named by the text between them; nothing for any other line.
std::optional<std::string_view> sectionOpenedBy(std::string_view line);

// The emulator's shell runs the lines of [autoexec] as a batch file, where
// "%%" stands for one '%' and a single '%' starts a variable or an argument.

// A text as an [autoexec] line must hold it for the shell to read it as it
// is: each '%' doubled.
std::string batchText(std::string_view text);

// What the shell reads from a text of an [autoexec] line: each "%%" one '%';
// any other character, a single '%' included, as it is.
std::string batchReading(std::string_view text);

// A folder as the argument of a MOUNT line of [autoexec]: in double quotes,
// as batchText.
std::string mountFolderArgument(std::string_view folder);

// The emulator's mount of a disc image, one line of [autoexec]: `imgmount`
// (the command as the line spells it: "IMGMOUNT", "imgmount", "@IMGMOUNT"),
// a blank, the DOS drive, a blank, the image as a mount argument already
// quoted (mountFolderArgument()) and " -t iso", which also serves the audio
// tracks of a cue sheet. The one writer of such lines, for the launchers and
// the bridge.
std::string imageMountLine(std::string_view imgmount, std::string_view drive,
                           std::string_view imageArgument);

// A remark of [autoexec]: `rem` ("REM", in the launcher's letter case), a
// blank and the text as batchText, each character that the shell would
// take for a redirection or a pipe even there (<, >, |), and each control
// character, shown as '?'. The shell shows it where it echoes its lines.
std::string remarkLine(std::string_view rem, std::string_view text);

inline constexpr std::string_view kConfigurationSuffix = "\\dosbox.conf";
inline constexpr std::string_view kEmulatorSuffix = "\\dosbox.exe";
inline constexpr std::string_view kEmulatorArgument = "-noconsole";

// The emulator that the application folder's dosbox.exe is, told from its
// version resource without running it; Unknown where it has none or there
// is no such file (on POSIX, where the bridge stands in its place and tells
// the emulator it runs itself).
EmulatorIdentity emulatorAtHand(Host& host);

// The name of the copy of a configuration file of the application folder
// that an emulator of `dialect` is handed in its place: "dosbox.conf" gives
// "dosbox.staging.conf"; empty where the emulator takes the file as it is
// (DOSBox 0.74, and an emulator the kit does not know).
std::string dialectCopyName(std::string_view configuration, EmulatorDialect dialect);

// Writes the working text and a CR LF to the application folder's
// dosbox.conf, or to the file `suffix` names there; and, where the emulator
// at hand takes another dialect, its copy in that dialect beside it.
void writeConfiguration(Host& host, std::string_view workingText,
                        std::string_view suffix = kConfigurationSuffix);

// Starts the application folder's dosbox.exe with "-noconsole"; no waiting.
// Without a configuration named, the emulator reads dosbox.conf from its
// working folder, the application folder; given one ("-conf" and that file
// of the application folder), it reads that file alone. An emulator of
// another dialect is handed the file's copy in its dialect instead, and
// only that (DOSBox Staging would also read dosbox.conf of its own accord).
void startEmulator(Host& host, std::string_view configuration = {});

// The exit code of a launcher that starts no emulator as it cannot (the
// emulator cannot be started, or its configuration cannot be written),
// after the message that says so: a failure, as every run that starts
// nothing because something failed.
inline constexpr int kEmulatorNotStartedExitCode = 1;

// The message of an emulator that cannot be started, in paragraphs: what
// cannot be done (`cannot`, a sentence), what to do in the host's words
// (Host::noEmulatorAdvice()) with "Then <again>." behind it, and the
// failure's report.
std::string noEmulatorMessage(const Host& host, std::string_view cannot, std::string_view again,
                              const std::system_error& failure);

}  // namespace kelmor
