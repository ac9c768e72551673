// The mapper launcher's whole work: open the kit's map editor, directly when
// the kit is installed, otherwise through the kit launcher, and end.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kelmor {

class Host;

inline constexpr std::string_view kMapEditorSuffix = "\\mapper.exe";
inline constexpr std::string_view kKitLauncherSuffix = "\\_KelmorPlix.exe";
inline constexpr std::string_view kMapperArgument = "mapper";

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
