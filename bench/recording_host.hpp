// SPDX-License-Identifier: GPL-3.0-or-later
// The real POSIX host for the benchmarks, but programs are only counted, not
// started, and the end of the process is thrown as Ended.
#pragma once

#include <string>
#include <vector>

#include "core/posix/posix_host.hpp"

namespace kelmor::bench {

struct Ended {};

class RecordingHost : public posix::PosixHost {
public:
    using PosixHost::PosixHost;
    int starts = 0;
    void startProgram(const std::string&, const std::vector<std::string>&) override { ++starts; }
    [[noreturn]] void endProcess(int) override { throw Ended{}; }
};

}  // namespace kelmor::bench
