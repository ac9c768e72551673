#include "mapper_launcher/mapper_launch.hpp"

#include <gtest/gtest.h>

#include "tests/support/fake_host.hpp"

namespace kelmor {
namespace {

using testing::FakeHost;

// Runs the launch to its end and returns the exit code.
int runMapper(FakeHost& host) {
    return testing::exitCodeOf([&] { MapperLauncher(host).run(); });
}

TEST(MapperLaunch, TheMarkerDecidesWhatStarts) {
    const std::string editor = "C:\\Games\\Kelmor\\mapper.exe";
    const std::string kit = "C:\\Games\\Kelmor\\_KelmorPlix.exe";
    struct Case {
        const char* name;
        std::optional<std::string> marker;  // none: no marker file
        bool unreadable;
        std::string program;
        std::vector<std::string> arguments;
    };
    const Case cases[] = {
        {"KELPLIX with CR LF", "KELPLIX\r\n", false, editor, {}},
        {"KELPLIX alone", "KELPLIX", false, editor, {}},
        {"KELPLIX and an empty line", "KELPLIX\r\n\r\n", false, kit, {"mapper"}},
        {"KELPLIX and another line", "KELPLIX\r\nX", false, kit, {"mapper"}},
        {"other case", "kelplix\r\n", false, kit, {"mapper"}},
        {"another line", "INSTALLED\r\n", false, kit, {"mapper"}},
        {"empty file", "", false, kit, {"mapper"}},
        {"no file", std::nullopt, false, kit, {"mapper"}},
        {"unreadable file", "KELPLIX\r\n", true, kit, {"mapper"}},
    };
    for (const Case& c : cases) {
        FakeHost host;
        if (c.marker) host.addFile(host.folder + "\\THEST.FUJ", *c.marker);
        if (c.unreadable) host.failOn("read");
        EXPECT_EQ(runMapper(host), 0) << c.name;
        ASSERT_EQ(host.started.size(), 1u) << c.name;
        EXPECT_EQ(host.started[0].program, c.program) << c.name;
        EXPECT_EQ(host.started[0].arguments, c.arguments) << c.name;
        EXPECT_TRUE(host.messages.empty()) << c.name;
        EXPECT_EQ(host.log.size(), 1u) << c.name << ": the start is all it does";
    }
}

TEST(MapperLaunch, AFailedStartIsDroppedWithoutAMessage) {
    for (const bool installed : {true, false}) {
        FakeHost host;
        if (installed) host.addFile(host.folder + "\\THEST.FUJ", "KELPLIX\r\n");
        host.failOn("start");
        EXPECT_EQ(runMapper(host), 0);
        EXPECT_TRUE(host.started.empty());
        EXPECT_TRUE(host.messages.empty());
    }
}

TEST(MapperLaunch, KeepsTheFolderAndTheArgumentApart) {
    FakeHost host;
    host.folder = "C:\\Program Files\\Kelmor Plix";
    EXPECT_EQ(runMapper(host), 0);
    ASSERT_EQ(host.started.size(), 1u);
    EXPECT_EQ(host.started[0].program, "C:\\Program Files\\Kelmor Plix\\_KelmorPlix.exe");
    EXPECT_EQ(host.started[0].arguments, std::vector<std::string>{"mapper"});
}

}  // namespace
}  // namespace kelmor
