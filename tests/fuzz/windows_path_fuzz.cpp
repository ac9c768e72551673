// SPDX-License-Identifier: GPL-3.0-or-later
// Windows paths on the POSIX host. Input: a path. Its components are never
// empty, "." or ".."; resolved on drive D:, a small folder tree with links
// out of it, for every use, the host path never leaves the drive's folder
// (nor do its links, but where the use takes any name), names an existing
// entry where the use wants one, and is the same with the folder listings
// kept for a run as without.
#include <stdlib.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

#include "core/linux_drives/linux_drive_map.hpp"
#include "core/linux_drives/linux_folder_listings.hpp"
#include "core/linux_drives/linux_windows_path.hpp"
#include "tests/fuzz/fuzz_support.hpp"

using namespace kelmor;
using fuzz::expect;

namespace {

// The drive's folder, laid out once and removed when the run ends.
struct DriveFolder {
    std::string path;
    DriveFolder() {
        char pattern[] = "/tmp/kelmor-fuzz-XXXXXX";
        path = mkdtemp(pattern) ? pattern : "";
        expect(!path.empty(), "a folder for drive D:");
        for (const char* file : {"KELMOR/KELMOR/VIGNET.DAT", "kelmor/INTRO.DAT", "Kit/kelkit.exe",
                                 "Kit/USA/MAPPER.EXE", "a b/c%d.txt"}) {
            const std::filesystem::path at = std::filesystem::path(path) / file;
            std::filesystem::create_directories(at.parent_path());
            std::ofstream(at) << file;
        }
        std::ofstream(path + "-outside") << "private";
        std::filesystem::create_directories(path + "/Kit/DATA");
        std::filesystem::create_symlink(path + "-outside", path + "/Kit/DATA/AL.BIN");
        std::filesystem::create_directory_symlink("/", path + "/Kit/OUT");
    }
    ~DriveFolder() {
        std::filesystem::remove_all(path);
        std::filesystem::remove(path + "-outside");
    }
};

const std::string& driveFolder() {
    static const DriveFolder folder;
    return folder.path;
}

bool withinDrive(const std::string& host, const std::string& root) {
    if (host == root) return true;
    if (host.compare(0, root.size() + 1, root + "/") != 0) return false;
    std::size_t start = root.size() + 1;
    while (start <= host.size()) {
        std::size_t end = host.find('/', start);
        if (end == std::string::npos) end = host.size();
        const std::string component = host.substr(start, end - start);
        if (component.empty() || component == "." || component == "..") return false;
        start = end + 1;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path(reinterpret_cast<const char*>(data), size);
    const auto split = splitWindowsPath(path);
    if (split)
        for (const std::string& component : split->components)
            expect(!component.empty() && component != "." && component != "..",
                   "components are never empty, . or ..");
    if (!split || split->drive != 'D') return 0;

    const std::string& root = driveFolder();
    static const std::string realRoot = std::filesystem::canonical(root).string();
    const linux_drives::DriveMap drives =
        linux_drives::DriveMap::parse("[drives]\nD=" + root + "\n", "");
    for (const linux_drives::PathUse use :
         {linux_drives::PathUse::Existing, linux_drives::PathUse::Destination,
          linux_drives::PathUse::Lenient}) {
        std::error_code plainError, listedError;
        linux_drives::FolderListings listings;
        const auto plain = linux_drives::resolveWindowsPath(drives, path, use, plainError);
        const auto listed =
            linux_drives::resolveWindowsPath(drives, path, use, listedError, &listings);
        expect(plain == listed, "the same host path with the listings as without");
        if (!plain) continue;
        expect(withinDrive(*plain, root), "never outside the drive's folder");
        char* real = realpath(plain->c_str(), nullptr);
        if (real != nullptr && use != linux_drives::PathUse::Lenient)
            expect(withinDrive(real, realRoot), "no link leads out of the drive's folder");
        free(real);
        struct stat status {};
        if (use == linux_drives::PathUse::Existing)
            expect(lstat(plain->c_str(), &status) == 0, "an existing path names an entry");
    }
    return 0;
}
