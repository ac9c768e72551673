// Which emulator the bridge hands over to, and how it is called.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kelmor::bridge {

// The search path used when PATH is not set.
inline constexpr std::string_view kDefaultSearchPath = "/usr/local/bin:/usr/bin:/bin";

// The emulator: `configured` (the emulator= option of the drive map) when it
// is given, else "dosbox". A name with a '/' is that file; a bare name is
// looked up in the folders of `searchPath`, an empty entry meaning the
// working directory. Only an executable regular file counts, and never one
// whose real path is `self` (the bridge, also through a link). Nothing when
// none is found.
std::optional<std::string> findEmulator(const std::optional<std::string>& configured,
                                        std::string_view searchPath, const std::string& self);

// True when the process `id` is this process or one of its ancestors. A
// bridge that hands over keeps its id; a bridge that finds that id above
// itself was started by its own "emulator": a copy of the bridge, or a
// wrapper that runs one without exec.
bool isThisProcessOrAnAncestor(long id);

// The emulator's arguments behind its name: "-conf <copy>" first when there
// is a copy, then the bridge's own arguments in order, without "-noconsole"
// (any letter case), which only the Windows build knows.
std::vector<std::string> emulatorArguments(const std::optional<std::string>& configurationCopy,
                                           const std::vector<std::string>& bridgeArguments);

}  // namespace kelmor::bridge
