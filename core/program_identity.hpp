// SPDX-License-Identifier: GPL-3.0-or-later
// Who each program says it is: its title and version.
#pragma once

#include <string_view>

namespace kelmor {

struct ProgramIdentity {
    std::string_view name;         // the program's own name, also its internal name
    std::string_view title;        // program title
    std::string_view productName;
    std::string_view version;      // as shown to the user
};

inline constexpr ProgramIdentity kGameLauncherIdentity{
    "KELMOR", "Kelmor for Windows", "Kelmor for Windows 2000/XP", "1.01"};
inline constexpr ProgramIdentity kKitLauncherIdentity{
    "_KelmorPlix", "Kelmor Plix Launcher", "Kelmor Plix Launcher", "1.00"};
inline constexpr ProgramIdentity kMapperLauncherIdentity{
    "_Mapper", "Kelmor Plix Mapper Launcher", "Kelmor Plix Mapper Launcher", "1.00"};
inline constexpr ProgramIdentity kConfigurationIdentity{
    "_Configuration", "Kelmor Plix Configuration", "Kelmor Plix Configuration", "1.00"};

}  // namespace kelmor
