// SPDX-License-Identifier: GPL-3.0-or-later
// What the bridge makes of the emulator's output and end: the lines it
// shows, the failure line it looks for, and when a start counts as failed.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dosbox_bridge/emulator_outcome.hpp"

namespace kelmor::bridge {
namespace {

// Lines split across pieces, CR LF, blank lines, a long line and an
// unfinished last one.
TEST(OutputWatch, KeepsTheLastLinesThatAreNotBlankAndTheFirstFailure) {
    OutputWatch watch;
    for (int i = 1; i <= 10; ++i) watch.take("line " + std::to_string(i) + "\r\n\n   \n");
    watch.take("Exit to er");
    watch.take("ror: one\nExit to error: two\n" + std::string(500, 'x') + "\nunfinished");
    EXPECT_EQ(watch.failureLine(), "Exit to error: one");
    EXPECT_EQ(watch.lastLines(),
              (std::vector<std::string>{"line 7", "line 8", "line 9", "line 10",
                                        "Exit to error: one", "Exit to error: two",
                                        std::string(kLongestLineShown, 'x'), "unfinished"}));
}

// A failure line counts only in a quick end; an error always does.
TEST(StartFailure, AnErrorOrAQuickEndAfterAFailureLine) {
    OutputWatch failed;
    failed.take("Could not load image file: /cds/kelmor.cue\n");
    const OutputWatch quiet;
    struct Case {
        EmulatorEnd end;
        const OutputWatch& output;
        std::optional<std::string> why;
    };
    const std::vector<Case> cases{
        {{0, "", false, 1.26},
         failed,
         "ended after 1.3 s, having printed: Could not load image file: /cds/kelmor.cue"},
        {{0, "", false, kQuickEndSeconds + 1}, failed, std::nullopt},
        {{0, "", false, 1}, quiet, std::nullopt},
        {{3, "", false, 100}, quiet, "ended with exit code 3"},
        {{134, "Aborted", false, 100}, quiet, "was ended by the signal Aborted"},
        {{130, "Interrupt", true, 1}, failed, std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(startFailure(c.end, c.output), c.why) << c.end.exitCode;
}

}  // namespace
}  // namespace kelmor::bridge
