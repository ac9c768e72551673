// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/application_folder.hpp"

#include <string>

#include "core/host.hpp"

namespace kelmor {

void refuseUnusableApplicationFolder(Host& host, std::string_view programTitle) {
    if (const auto refusal = host.applicationFolderRefusal()) {
        host.messageBox(*refusal, MessageStyle::Critical, std::string(programTitle));
        host.endProcess(kRefusedFolderExitCode);
    }
}

}  // namespace kelmor
