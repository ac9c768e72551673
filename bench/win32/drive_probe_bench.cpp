// SPDX-License-Identifier: GPL-3.0-or-later
// The kit launcher's CD search on the Win32 host, repeated: drive_probe_bench
// <rounds> runs the 23 probes of "L:\KIT\KELKIT.EXE" (L from D to Z) that many
// times. hyperfine compares 0 rounds with many (bench/wine_times.sh); the
// difference per round is the time of the 23 probes.
#include <cstdlib>
#include <string>

#include "core/cd_probes.hpp"
#include "core/cd_search.hpp"
#include "core/win32/win32_host.hpp"

int main(int argc, char** argv) {
    const long rounds = argc > 1 ? std::strtol(argv[1], nullptr, 10) : 1;
    kelmor::win32::Win32Host host;
    const auto probes = kelmor::kitCdProbes();
    std::size_t hits = 0;
    for (long round = 0; round < rounds; ++round)
        hits += kelmor::lastHitFolder(host, probes).empty() ? 0 : 1;
    return hits == 0 ? 0 : 1;
}
