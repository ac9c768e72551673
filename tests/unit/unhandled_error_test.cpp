#include "core/unhandled_error.hpp"

#include <gtest/gtest.h>

#include <stdexcept>

#include "tests/support/fake_host.hpp"

namespace kelmor {
namespace {

using testing::FakeHost;
using testing::ProcessEnded;

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

TEST(RunReportingUnhandledErrors, LetsEverythingElsePass) {
    FakeHost host;
    bool ran = false;
    runReportingUnhandledErrors(host, "Title", [&] { ran = true; });
    EXPECT_TRUE(ran);
    EXPECT_THROW(runReportingUnhandledErrors(host, "Title", [] { throw std::runtime_error("x"); }),
                 std::runtime_error);
    EXPECT_THROW(runReportingUnhandledErrors(host, "Title", [&] { host.endProcess(0); }),
                 ProcessEnded);
    EXPECT_TRUE(host.messages.empty());
}

}  // namespace
}  // namespace kelmor
