// SPDX-License-Identifier: GPL-3.0-or-later
// The marker rule. Input: the content of "\THEST.FUJ". The kit counts as
// installed exactly for "KELPLIX" with no line end, CR or CR LF behind it,
// and the mapper launcher then opens the map editor itself (a DOS program,
// on a system that runs one itself); the lines hold no CR, and joined by
// CR LF they give the text back, its line ends made CR LF and the last one
// dropped.
#include <string>
#include <vector>

#include "core/installation_marker.hpp"
#include "mapper_launcher/mapper_launch.hpp"
#include "tests/fuzz/fuzz_support.hpp"
#include "tests/support/fake_host.hpp"

using namespace kelmor;
using fuzz::expect;

namespace {

// CR LF and lone CRs as CR LF, without a line end at the very end.
std::string normalLines(const std::string& text) {
    std::string normal;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r') {
            normal += text[i];
            continue;
        }
        normal += "\r\n";
        if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
    }
    if (normal.size() >= 2 && normal.compare(normal.size() - 2, 2, "\r\n") == 0)
        normal.resize(normal.size() - 2);
    return normal;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string content(reinterpret_cast<const char*>(data), size);
    const std::vector<std::string> lines = splitTextLines(content);
    std::string joined;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        expect(lines[i].find('\r') == std::string::npos, "a line holds no CR");
        if (i > 0) joined += "\r\n";
        joined += lines[i];
    }
    expect(joined == normalLines(content), "the lines joined by CR LF give the text back");

    testing::FakeHost host;
    host.addFile(host.folder + "\\THEST.FUJ", content);
    const bool marker = content == "KELPLIX" || content == "KELPLIX\r" || content == "KELPLIX\r\n";
    expect(kitIsInstalled(host) == marker, "installed exactly for the one line KELPLIX");
    // A Windows program: started directly wherever it is installed.
    host.addFile(host.folder + "\\MAPPER.EXE", testing::mzProgram(std::string_view("PE\0\0", 4)));
    testing::exitCodeOf([&] { MapperLauncher(host).run(); });
    expect(host.started.size() == 1 &&
               (host.started[0].program == host.folder + "\\mapper.exe") == marker,
           "the mapper launcher opens the map editor exactly when installed");
    return 0;
}
