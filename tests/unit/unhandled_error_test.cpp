// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/unhandled_error.hpp"

#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <stdexcept>

#include "tests/support/fake_host.hpp"

namespace kelmor {
namespace {

using testing::FakeHost;

TEST(UnhandledErrorReport, NamesNumberDescriptionAndSubject) {
    struct Case {
        std::system_error error;
        std::string report;
    };
    const Case cases[] = {
        {std::system_error(EACCES, std::generic_category(), "C:\\Kit\\dosbox.conf"),
         "Error 13: Permission denied (C:\\Kit\\dosbox.conf)"},
        {std::system_error(std::make_error_code(std::errc::no_such_file_or_directory)),
         "Error 2: No such file or directory"},
        {std::system_error(ENOSPC, std::generic_category(), "D:\\a: b"),
         "Error 28: No space left on device (D:\\a: b)"},
    };
    for (const Case& c : cases) EXPECT_EQ(unhandledErrorReport(c.error), c.report);
}

TEST(RunReportingUnhandledErrors, ReportsEveryStandardFailureAndLetsTheProcessEnd) {
    struct Case {
        std::function<void()> failing;
        std::string report;
    };
    const Case cases[] = {
        {[] { throw std::system_error(EACCES, std::generic_category(), "C:\\x"); },
         "Error 13: Permission denied (C:\\x)"},
        {[] { throw std::bad_alloc(); }, "Error: std::bad_alloc"},
        {[] { throw std::out_of_range("basic_string::at"); }, "Error: basic_string::at"},
    };
    for (const Case& c : cases) {
        FakeHost host;
        EXPECT_EQ(
            testing::exitCodeOf([&] { runReportingUnhandledErrors(host, "Title", c.failing); }),
            kUnhandledErrorExitCode);
        ASSERT_EQ(host.messages.size(), 1u);
        EXPECT_EQ(host.messages[0].text, c.report);
        EXPECT_EQ(host.messages[0].title, "Title");
        EXPECT_EQ(host.messages[0].style, MessageStyle::Critical);
    }

    FakeHost host;
    bool ran = false;
    runReportingUnhandledErrors(host, "Title", [&] { ran = true; });
    EXPECT_TRUE(ran);
    EXPECT_EQ(testing::exitCodeOf(
                  [&] { runReportingUnhandledErrors(host, "Title", [&] { host.endProcess(0); }); }),
              0);
    EXPECT_TRUE(host.messages.empty());
}

}  // namespace
}  // namespace kelmor
