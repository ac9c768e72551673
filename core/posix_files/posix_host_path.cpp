// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/posix_files/posix_host_path.hpp"

#include <dirent.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <memory>

#include "core/ascii_text.hpp"

namespace kelmor::posix_files {

namespace {

std::error_code errnoCode(int number) { return {number, std::generic_category()}; }

struct DirectoryCloser {
    void operator()(DIR* directory) const { closedir(directory); }
};

}  // namespace

std::string joinHostPath(std::string_view folder, std::string_view name) {
    std::string joined(folder);
    if (joined.empty() || joined.back() != '/') joined += '/';
    joined += name;
    return joined;
}

std::optional<std::string> realHostPath(const std::string& path) {
    const std::unique_ptr<char, decltype(&std::free)> real(realpath(path.c_str(), nullptr),
                                                           &std::free);
    if (!real) return std::nullopt;
    return std::string(real.get());
}

std::optional<std::string> matchFolderEntry(const std::string& folder, std::string_view name,
                                            std::error_code& error) {
    struct stat status {};
    if (lstat(joinHostPath(folder, name).c_str(), &status) == 0) return std::string(name);
    if (errno != ENOENT) {
        error = errnoCode(errno);
        return std::nullopt;
    }

    const std::unique_ptr<DIR, DirectoryCloser> directory(opendir(folder.c_str()));
    if (!directory) {
        error = errnoCode(errno);
        return std::nullopt;
    }
    std::optional<std::string> best;
    errno = 0;
    while (const dirent* entry = readdir(directory.get())) {
        const std::string_view candidate = entry->d_name;
        if (equalIgnoringAsciiCase(candidate, name) && (!best || candidate < *best)) {
            best = std::string(candidate);
        }
    }
    if (!best) error = errnoCode(errno != 0 ? errno : ENOENT);
    return best;
}

std::optional<std::size_t> matchingName(const std::vector<std::string>& names,
                                        std::string_view name) {
    std::optional<std::size_t> best;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (names[i] == name) return i;
        if (equalIgnoringAsciiCase(names[i], name) && (!best || names[i] < names[*best])) best = i;
    }
    return best;
}

}  // namespace kelmor::posix_files
