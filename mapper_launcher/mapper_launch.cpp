// SPDX-License-Identifier: GPL-3.0-or-later
#include "mapper_launcher/mapper_launch.hpp"

#include <string>

#include "core/failure.hpp"
#include "core/host.hpp"
#include "core/installation_marker.hpp"
#include "core/map_editor.hpp"
#include "core/program_identity.hpp"

namespace kelmor {

MapperLauncher::MapperLauncher(Host& host) : host_(host) {}

void MapperLauncher::run() {
    const std::string folder = host_.applicationFolder();
    if (kitIsInstalled(host_)) {
        openMapEditor(host_, folder + std::string(kMapperMapEditorSuffix),
                      kMapperLauncherIdentity.title);
    } else {
        dropFailure([&] {
            host_.startProgram(folder + std::string(kKitLauncherSuffix),
                               {std::string(kKitLauncherArgument)});
        });
    }
    host_.endProcess(0);
}

}  // namespace kelmor
