// A disc image through libcdio. Input: the bytes of an .iso file. Opening
// it fails with std::system_error or gives a disc; a file found on it is read
// to exactly its length or fails with EIO, and only what it holds is read.
// libcdio reads beyond its buffers on some malformed folders (the seed
// "folder-record-past-its-end"): the child process that reads the folders
// first then ends, and the image holds no disc. Such a child ends quietly
// here, where the fuzzer would record its end as a finding of its own.
#include <pthread.h>
#include <sanitizer/common_interface_defs.h>
#include <stdlib.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>
#include <vector>

#include "core/posix/disc_image.hpp"
#include "tests/fuzz/fuzz_support.hpp"

using namespace kelmor;
using fuzz::expect;

namespace {

// The file that holds the input, in a folder removed when the run ends.
struct ImageFile {
    std::string folder, path;
    ImageFile() {
        char pattern[] = "/tmp/kelmor-fuzz-image-XXXXXX";
        folder = mkdtemp(pattern) ? pattern : "";
        expect(!folder.empty(), "a folder for the image");
        path = folder + "/disc.iso";
    }
    ~ImageFile() { std::filesystem::remove_all(folder); }
};

const std::vector<std::vector<std::string>> kPaths{
    {"KELMOR", "KELMOR", "VIGNET.DAT"}, {"kit", "kelkit.exe"}, {"VIGNET.DAT"}, {"KIT", "USA", "MAPPER.EXE"}};

void endQuietly() {
    _exit(1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const int quietChildren = pthread_atfork(nullptr, nullptr, [] {
        __sanitizer_set_death_callback(endQuietly);
    });
    (void)quietChildren;
    static const ImageFile file;
    std::ofstream(file.path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    try {
        posix::DiscImage image(file.path);
        for (const auto& path : kPaths) {
            std::error_code error;
            const auto entry = image.find(path, error);
            if (!entry || entry->folder) continue;
            std::size_t read = 0;
            try {
                image.read(*entry, [&](std::string_view part) { read += part.size(); });
                expect(read == entry->size, "a file is read to its length");
                expect(image.holds(*entry), "only what the image holds is read");
            } catch (const std::system_error& failure) {
                expect(failure.code().value() == EIO, "a file that cannot be read fails with EIO");
            }
        }
    } catch (const std::system_error&) {
    }
    return 0;
}
