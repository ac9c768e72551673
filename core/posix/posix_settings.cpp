// SPDX-License-Identifier: GPL-3.0-or-later
// The settings store of the POSIX host: "<kit config folder>/<application>.ini",
// one "[section]" per section, "key=value" lines with the value verbatim.
// A write reads the file, changes one line and replaces the file, holding
// the folder's lock throughout, and is on disk when it returns.
#include "core/ini_text.hpp"
#include "core/posix_files/posix_atomic_file.hpp"
#include "core/posix_files/posix_error.hpp"
#include "core/posix/posix_host.hpp"
#include "core/posix_files/posix_settings_lock.hpp"
#include "core/posix_files/posix_host_path.hpp"

namespace kelmor::posix {

std::string PosixHost::settingsFile(const std::string& application) const {
    if (application.empty() || application == "." || application == ".." ||
        application.find_first_of(std::string("/\0", 2)) != std::string::npos) {
        posix_files::throwError(EINVAL, "settings application \"" + application + "\"");
    }
    const std::string folder = kitConfigFolder();
    const std::string name = application + ".ini";
    std::error_code error;
    const auto existing = posix_files::matchFolderEntry(folder, name, error);
    return posix_files::joinHostPath(folder, existing ? *existing : name);
}

std::string PosixHost::readSetting(const std::string& application, const std::string& section,
                                   const std::string& key,
                                   const std::string& defaultValue) noexcept {
    try {
        const auto value =
            IniText(posix_files::readWholeFile(settingsFile(application))).value(section, key);
        if (value) return *value;
    } catch (...) {
        // Unreadable or absent: the default stands.
    }
    return defaultValue;
}

void PosixHost::writeSetting(const std::string& application, const std::string& section,
                             const std::string& key, const std::string& value) {
    if (!IniText::canHold(section, key, value)) {
        posix_files::throwError(EINVAL, "settings entry [" + section + "] " + key);
    }
    posix_files::createFolders(kitConfigFolder(), 0700);
    const posix_files::SettingsLock lock(kitConfigFolder());
    const std::string file = settingsFile(application);

    std::string content;
    try {
        content = posix_files::readWholeFile(file);
    } catch (const std::system_error& failure) {
        // A file that exists but cannot be read is not overwritten blindly.
        if (failure.code() != std::errc::no_such_file_or_directory) throw;
    }
    IniText settings(content);
    settings.setValue(section, key, value);
    posix_files::writeFileAtomically(file, settings.text(), posix_files::Durability::Flushed);
}

}  // namespace kelmor::posix
