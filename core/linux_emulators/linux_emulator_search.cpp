// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/linux_emulators/linux_emulator_search.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <utility>

#include "core/posix_files/posix_config_folder.hpp"
#include "core/posix_files/posix_host_path.hpp"

namespace kelmor::linux_emulators {

namespace {

// The names looked up on the search path when the drive map names none,
// and where the Flatpak's launcher stands among them.
constexpr std::string_view kStagingName = "dosbox-staging";
constexpr std::string_view kAfterTheFlatpak[] = {"dosbox-x", "dosbox"};

std::optional<EmulatorFile> runnable(const std::string& path, const std::string& self) {
    struct stat status {};
    if (stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) return std::nullopt;
    if (faccessat(AT_FDCWD, path.c_str(), X_OK, AT_EACCESS) != 0) return std::nullopt;
    auto real = posix_files::realHostPath(path);
    if (!real || *real == self) return std::nullopt;
    return EmulatorFile{path, std::move(*real)};
}

// The first runnable file `name` in the folders of `searchPath`.
std::optional<EmulatorFile> onSearchPath(std::string_view name, std::string_view searchPath,
                                         const std::string& self) {
    std::size_t start = 0;
    while (start <= searchPath.size()) {
        std::size_t end = searchPath.find(':', start);
        if (end == std::string_view::npos) end = searchPath.size();
        const std::string_view folder = searchPath.substr(start, end - start);
        if (auto found = runnable(
                folder.empty() ? std::string(name) : posix_files::joinHostPath(folder, name), self))
            return found;
        start = end + 1;
    }
    return std::nullopt;
}

std::optional<EmulatorFile> flatpak(const EmulatorSearch& search) {
    for (const std::string& folder : search.flatpakExports)
        if (auto found = runnable(posix_files::joinHostPath(folder, kStagingFlatpak), search.self))
            return found;
    return std::nullopt;
}

void addOnce(std::vector<EmulatorFile>& present, std::optional<EmulatorFile> found) {
    if (!found) return;
    const auto same = [&](const EmulatorFile& file) { return file.realPath == found->realPath; };
    if (std::none_of(present.begin(), present.end(), same)) present.push_back(std::move(*found));
}

}  // namespace

EmulatorSearch emulatorSearch(std::string configured, std::string self) {
    const char* path = std::getenv("PATH");
    return {std::move(configured),
            path ? path : std::string(kDefaultSearchPath),
            {posix_files::joinHostPath(posix_files::userDataHome(), "flatpak/exports/bin"),
             std::string(kSystemFlatpakExports)},
            std::move(self)};
}

std::optional<EmulatorFile> configuredEmulator(const EmulatorSearch& search) {
    if (search.configured.empty()) return std::nullopt;
    if (search.configured.find('/') != std::string::npos)
        return runnable(search.configured, search.self);
    return onSearchPath(search.configured, search.searchPath, search.self);
}

std::vector<EmulatorFile> presentEmulators(const EmulatorSearch& search) {
    std::vector<EmulatorFile> present;
    addOnce(present, configuredEmulator(search));
    addOnce(present, onSearchPath(kStagingName, search.searchPath, search.self));
    addOnce(present, flatpak(search));
    for (std::string_view name : kAfterTheFlatpak)
        addOnce(present, onSearchPath(name, search.searchPath, search.self));
    return present;
}

}  // namespace kelmor::linux_emulators
