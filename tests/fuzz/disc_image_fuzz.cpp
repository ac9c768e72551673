// SPDX-License-Identifier: GPL-3.0-or-later
// A disc image read in process. Input: the bytes of an .iso file. Opening it
// fails with std::system_error or gives a disc; a file found on it is read to
// exactly its length or fails with EIO, and only what it holds is read (the
// sanitizers see every byte read).
#include <cerrno>
#include <string>
#include <system_error>
#include <vector>

#include "core/disc_image.hpp"
#include "tests/fuzz/fuzz_support.hpp"
#include "tests/support/iso_images.hpp"

using namespace kelmor;
using fuzz::expect;

namespace {

const std::vector<std::vector<std::string>> kPaths{{"KELMOR", "KELMOR", "VIGNET.DAT"},
                                                   {"kit", "kelkit.exe"},
                                                   {"VIGNET.DAT"},
                                                   {"KIT", "USA", "MAPPER.EXE"}};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    testing::MemoryImageFiles files;
    files.files["/disc.iso"].assign(reinterpret_cast<const char*>(data), size);
    try {
        DiscImage image(files, "/disc.iso");
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
