// SPDX-License-Identifier: GPL-3.0-or-later
// The configuration tool's check and store on the real POSIX host: its
// numeric text and its kelkit.ini.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "config_tool/cislo.hpp"
#include "config_tool/configuration_dialog.hpp"
#include "core/posix/posix_host.hpp"
#include "tests/support/cislo_cases.hpp"
#include "tests/support/fake_dialog_controls.hpp"

namespace kelmor {
namespace {

namespace fs = std::filesystem;

TEST(CisloOnPosix, DecidesTheTableWithTheHostsNumericText) {
    const posix::PosixHost host;
    for (const auto& c : testing::kCisloTable)
        EXPECT_EQ(Cislo(host, std::string(c.text)), c.accepted) << "'" << c.text << "': " << c.why;
    for (const auto& c : testing::kCisloSyntaxCases)
        EXPECT_EQ(Cislo(host, std::string(c.text)), c.accepted) << "'" << c.text << "': " << c.why;
}

struct Ended {};

class TestHost : public posix::PosixHost {
public:
    using PosixHost::PosixHost;
    [[noreturn]] void endProcess(int) override { throw Ended{}; }
};

TEST(ConfigurationOnPosix, SavedSettingsComeBackAtTheNextStart) {
    const fs::path config =
        fs::temp_directory_path() / ("kelmor-config-" + std::to_string(getpid()));
    fs::create_directories(config);
    posix::PosixHostOptions options;
    options.configHome = config.string();
    TestHost host(options);
    {
        testing::FakeControls controls;
        ConfigurationDialog dialog(host, controls);
        dialog.load();
        controls.selected = 4;
        controls.text = "00010";
        EXPECT_THROW(dialog.cmdOkClicked(), Ended);
    }
    std::ifstream in(config / "kelmor" / "kelkit.ini", std::ios::binary);
    std::ostringstream ini;
    ini << in.rdbuf();
    for (const char* line :
         {"fullscreen=true", "fullfixed=false", "output=opengl", "predvolba=4", "cycles=00010"})
        EXPECT_NE(ini.str().find(line), std::string::npos) << line << " in\n" << ini.str();
    EXPECT_FALSE(fs::exists(config / "kelmor" / "kel1.ini"));
    {
        testing::FakeControls controls;
        ConfigurationDialog dialog(host, controls);
        dialog.load();
        EXPECT_EQ(controls.selected, 4);
        EXPECT_EQ(controls.text, "00010");
    }
    fs::remove_all(config);
}

}  // namespace
}  // namespace kelmor
