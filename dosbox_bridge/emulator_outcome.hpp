// SPDX-License-Identifier: GPL-3.0-or-later
// How a start of the emulator went, told from how it ended and what it
// printed: the bridge keeps its output and reports a start that failed.
//
// A start failed when the emulator ended with an error (an exit code other
// than 0, or a signal other than those that stop a program on request), or
// when it ended within kQuickEndSeconds having printed a failure line
// (kFailureLines): DOSBox that cannot mount or load what it is given may
// still end with 0, after showing its window for a moment.
#pragma once

#include <cstddef>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kelmor::bridge {

// Lines that tell a failure, wherever they stand in a line of the output.
inline constexpr std::string_view kFailureLines[] = {"Could not load image file", "Exit to error"};

// How soon after its start an end with a failure line counts as a failure.
inline constexpr double kQuickEndSeconds = 5.0;

// How many of the last lines a report shows, and how much of each.
inline constexpr std::size_t kLinesShown = 8;
inline constexpr std::size_t kLongestLineShown = 160;

// What the emulator prints, taken piece by piece as it comes (a line may
// span pieces; CR LF and LF end lines).
class OutputWatch {
public:
    void take(std::string_view piece);

    // The last kLinesShown lines that are not blank, an unfinished one
    // included, each cut to kLongestLineShown bytes.
    std::vector<std::string> lastLines() const;

    // The first line holding a failure line.
    const std::optional<std::string>& failureLine() const { return failure_; }

private:
    void endLine();

    std::string line_;
    std::deque<std::string> lines_;
    std::optional<std::string> failure_;
};

// How the emulator ended, as the host tells it.
struct EmulatorEnd {
    // Its exit code; for a signal 128 and the signal's number, as a shell
    // gives it. The bridge ends with this code.
    int exitCode = 0;
    // The signal that ended it, by the host's name for it; empty when it exited.
    std::string signal{};
    // Whether that signal stops a program on request (SIGINT, SIGTERM,
    // SIGHUP, SIGKILL).
    bool onRequest = false;
    double seconds = 0;  // since its start
};

// Why a start failed ("ended with exit code 1", "was ended by the signal
// Segmentation fault", "ended after 0.4 s, having printed: Exit to error:
// ..."); nothing when it did not.
std::optional<std::string> startFailure(const EmulatorEnd& end, const OutputWatch& output);

// Where a start's output is kept: its log, or why it is missing (the
// host's words: "<path>: No space left on device").
struct KeptOutput {
    std::string logPath;  // empty: missing
    std::string missing;
};

// The line of a failed start: "DOSBox <why>; all it printed is in <log>",
// or "...; the log of what it printed is missing: <why that is>".
std::string failureLine(const std::string& why, const KeptOutput& kept);

// The report of a failed start, as a message box shows it: why, the last
// lines, and the log that keeps all the output or why it is missing.
std::string failureReport(const std::string& why, const std::vector<std::string>& lastLines,
                          const KeptOutput& kept);

}  // namespace kelmor::bridge
