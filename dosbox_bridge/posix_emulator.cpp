#include "dosbox_bridge/posix_emulator.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <memory>

#include "core/posix/ini_text.hpp"
#include "core/posix/windows_path.hpp"

namespace kelmor::bridge {

namespace {

std::optional<std::string> realPathOf(const std::string& path) {
    const std::unique_ptr<char, decltype(&std::free)> real(realpath(path.c_str(), nullptr),
                                                           &std::free);
    if (!real) return std::nullopt;
    return std::string(real.get());
}

bool isRunnable(const std::string& path, const std::string& self) {
    struct stat status {};
    if (stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) return false;
    if (faccessat(AT_FDCWD, path.c_str(), X_OK, AT_EACCESS) != 0) return false;
    const auto real = realPathOf(path);
    return real && *real != self;
}

}  // namespace

std::optional<std::string> findEmulator(const std::optional<std::string>& configured,
                                        std::string_view searchPath, const std::string& self) {
    const std::string name = configured && !configured->empty() ? *configured : "dosbox";
    if (name.find('/') != std::string::npos) {
        if (isRunnable(name, self)) return name;
        return std::nullopt;
    }
    std::size_t start = 0;
    while (start <= searchPath.size()) {
        std::size_t end = searchPath.find(':', start);
        if (end == std::string_view::npos) end = searchPath.size();
        const std::string_view folder = searchPath.substr(start, end - start);
        const std::string candidate =
            folder.empty() ? name : posix::joinHostPath(folder, name);
        if (isRunnable(candidate, self)) return candidate;
        start = end + 1;
    }
    return std::nullopt;
}

std::vector<std::string> emulatorArguments(const std::optional<std::string>& configurationCopy,
                                           const std::vector<std::string>& bridgeArguments) {
    std::vector<std::string> arguments;
    if (configurationCopy) arguments = {"-conf", *configurationCopy};
    for (const std::string& argument : bridgeArguments)
        if (!posix::equalIgnoringCase(argument, "-noconsole")) arguments.push_back(argument);
    return arguments;
}

}  // namespace kelmor::bridge
