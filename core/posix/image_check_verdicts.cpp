#include "core/posix/image_check_verdicts.hpp"

#include <sys/stat.h>

#include <cstdio>
#include <system_error>

#include "core/posix/atomic_file.hpp"
#include "core/posix/config_folder.hpp"
#include "core/posix/windows_path.hpp"

namespace kelmor::posix {

namespace {

// A verdict is a line per file; anything longer is none.
constexpr off_t kLongestVerdict = 4096;

}  // namespace

bool ImageCheckVerdicts::verdictOf(const std::vector<std::string>& files, Verdict& verdict) const {
    if (folder_.empty() || files.empty()) return false;
    for (std::size_t i = 0; i < files.size(); ++i) {
        struct stat status {};
        if (stat(files[i].c_str(), &status) != 0) return false;
        char line[160];
        std::snprintf(line, sizeof line, "%llx %llx %lld %lld.%09ld\n",
                      static_cast<unsigned long long>(status.st_dev),
                      static_cast<unsigned long long>(status.st_ino),
                      static_cast<long long>(status.st_size),
                      static_cast<long long>(status.st_mtim.tv_sec), status.st_mtim.tv_nsec);
        verdict.text += line;
        if (i == 0) {
            std::snprintf(line, sizeof line, "%llx-%llx", static_cast<unsigned long long>(status.st_dev),
                          static_cast<unsigned long long>(status.st_ino));
            verdict.path = joinHostPath(folder_, line);
        }
    }
    verdict.text += "passed\n";
    return true;
}

bool ImageCheckVerdicts::passed(const std::vector<std::string>& files) const {
    Verdict verdict;
    if (!verdictOf(files, verdict)) return false;
    struct stat status {};
    if (stat(verdict.path.c_str(), &status) != 0 || status.st_size > kLongestVerdict) return false;
    try {
        return readWholeFile(verdict.path) == verdict.text;
    } catch (const std::system_error&) {
        return false;
    }
}

void ImageCheckVerdicts::keepPass(const std::vector<std::string>& files) const {
    Verdict verdict;
    if (!verdictOf(files, verdict)) return;
    try {
        createFolders(folder_, 0700);
        writeFileAtomically(verdict.path, verdict.text);
    } catch (const std::exception&) {
    }
}

std::string checkedImagesFolder(const std::string& configured) {
    return joinHostPath(joinHostPath(userCacheHome(configured), "kelmor"), "checked-images");
}

}  // namespace kelmor::posix
