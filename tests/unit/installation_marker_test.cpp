// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/installation_marker.hpp"

#include <gtest/gtest.h>

#include "tests/support/fake_host.hpp"

namespace kelmor {
namespace {

using testing::FakeHost;

TEST(SplitTextLines, LinesEndAtCrOrCrLf) {
    struct Case {
        std::string_view content;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"", {}},
        {"KELPLIX", {"KELPLIX"}},
        {"KELPLIX\r\n", {"KELPLIX"}},
        {"KELPLIX\r", {"KELPLIX"}},
        {"KELPLIX\r\n\r\n", {"KELPLIX", ""}},
        {"a\rb\r\nc", {"a", "b", "c"}},
        {"KELPLIX\n", {"KELPLIX\n"}},  // a lone LF ends no line
        {"\r\n", {""}},
    };
    for (const Case& c : cases) EXPECT_EQ(splitTextLines(c.content), c.lines) << c.content;
}

TEST(InstallationMarker, OnlyTheSingleLineKelplixCountsAsInstalled) {
    struct Case {
        const char* name;
        std::optional<std::string> content;  // none: no marker file
        bool unreadable;
        bool installed;
    };
    const Case cases[] = {
        {"line without line end", "KELPLIX", false, true},
        {"line with CR LF", "KELPLIX\r\n", false, true},
        {"line with CR", "KELPLIX\r", false, true},
        {"second empty line", "KELPLIX\r\n\r\n", false, false},
        {"second line", "KELPLIX\r\nmore", false, false},
        {"other case", "Kelplix\r\n", false, false},
        {"unix line end", "KELPLIX\n", false, false},
        {"leading blank", " KELPLIX", false, false},
        {"empty file", "", false, false},
        {"no file", std::nullopt, false, false},
        {"unreadable file", "KELPLIX\r\n", true, false},
    };
    for (const Case& c : cases) {
        FakeHost host;
        if (c.content) host.addFile(host.folder + "\\thest.fuj", *c.content);
        if (c.unreadable) host.failOn("read");
        EXPECT_EQ(kitIsInstalled(host), c.installed) << c.name;
    }
}

TEST(InstallationMarker, MarkerTextJoinsLinesWithLeadingCrLf) {
    FakeHost host;
    host.addFile(host.folder + "\\THEST.FUJ", "A\rB\r\n");
    EXPECT_EQ(readMarkerText(host), "\r\nA\r\nB");
}

}  // namespace
}  // namespace kelmor
