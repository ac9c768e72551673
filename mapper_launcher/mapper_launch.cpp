#include "mapper_launcher/mapper_launch.hpp"

#include "core/failure.hpp"
#include "core/host.hpp"
#include "core/installation_marker.hpp"

namespace kelmor {

ProgramStart mapEditorStart(Host& host) {
    const std::string folder = host.applicationFolder();
    if (kitIsInstalled(host)) return {folder + std::string(kMapperMapEditorSuffix), {}};
    return {folder + std::string(kKitLauncherSuffix), {std::string(kKitLauncherArgument)}};
}

MapperLauncher::MapperLauncher(Host& host) : host_(host) {}

void MapperLauncher::run() {
    const ProgramStart start = mapEditorStart(host_);
    dropFailure([&] { host_.startProgram(start.program, start.arguments); });
    host_.endProcess(0);
}

}  // namespace kelmor
