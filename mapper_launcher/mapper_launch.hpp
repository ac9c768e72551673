// The mapper launcher's whole work: open the kit's map editor, directly when
// the kit is installed, otherwise through the kit launcher, and end.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kelmor {

class Host;

// The map editor as this launcher spells it; the host finds the "MAPPER.EXE"
// that the kit launcher installs whatever the case.
inline constexpr std::string_view kMapperMapEditorSuffix = "\\mapper.exe";
inline constexpr std::string_view kKitLauncherSuffix = "\\_KelmorPlix.exe";
// What the kit launcher is given to open the map editor after installing.
inline constexpr std::string_view kKitLauncherArgument = "mapper";

struct ProgramStart {
    std::string program;
    std::vector<std::string> arguments;
};

// What opens the map editor: the application folder's map editor, without
// arguments, when the installation marker says the kit is installed;
// otherwise the kit launcher with the single argument "mapper", which
// installs the kit first.
ProgramStart mapEditorStart(Host& host);

class MapperLauncher {
public:
    explicit MapperLauncher(Host& host);

    // Starts what opens the map editor and ends the process; a start that
    // fails is dropped silently and the process ends all the same.
    void run();

private:
    Host& host_;
};

}  // namespace kelmor
