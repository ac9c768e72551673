// SPDX-License-Identifier: GPL-3.0-or-later
#include "config_tool/configuration_dialog.hpp"

#include <gtest/gtest.h>

#include <array>
#include <utility>
#include <vector>

#include "config_tool/caption_fit.hpp"
#include "config_tool/configuration_form.hpp"
#include "config_tool/user_configuration.hpp"
#include "tests/support/fake_dialog_controls.hpp"
#include "tests/support/fake_host.hpp"

namespace kelmor {
namespace {

using testing::FakeControls;
using testing::FakeHost;
using testing::ProcessEnded;

struct Dialog {
    FakeHost host;
    FakeControls controls;
    ConfigurationDialog dialog{host, controls};

    // Clicks "Save settings and exit"; true when the process ended (exit 0).
    bool save() {
        try {
            dialog.cmdOkClicked();
        } catch (const ProcessEnded& end) {
            EXPECT_EQ(end.exitCode, 0);
            return true;
        }
        return false;
    }
};

std::vector<std::string> kelkitWrites(const std::string& fullscreen, const std::string& fullfixed,
                                      const std::string& output, const std::string& preset,
                                      const std::string& cycles) {
    return {"kelkit/kelkit/fullscreen=" + fullscreen, "kelkit/kelkit/fullfixed=" + fullfixed,
            "kelkit/kelkit/output=" + output, "kelkit/kelkit/predvolba=" + preset,
            "kelkit/kelkit/cycles=" + cycles};
}

TEST(ConfigurationDialog, FirstStartShowsPresetOneAndSavesTheDefaults) {
    Dialog d;
    d.dialog.load();
    EXPECT_EQ(d.controls.events, (std::vector<std::string>{"centre", "text=20000", "select 1"}));
    EXPECT_TRUE(d.save());
    EXPECT_EQ(d.host.settingWrites, kelkitWrites("true", "false", "surface", "1", "20000"));
    EXPECT_TRUE(d.host.messages.empty());
}

TEST(ConfigurationDialog, EachPresetStoresItsValuesInOrder) {
    struct Case {
        int option;
        std::vector<std::string> writes;
    };
    const Case cases[] = {
        {1, kelkitWrites("true", "false", "surface", "1", "4000")},
        {2, kelkitWrites("true", "true", "surface", "2", "4000")},
        {3, kelkitWrites("false", "false", "surface", "3", "4000")},
        {4, kelkitWrites("true", "false", "opengl", "4", "4000")},
        {5, kelkitWrites("false", "false", "opengl", "5", "4000")},
    };
    for (const Case& c : cases) {
        Dialog d;
        d.host.setSetting("kelkit", "predvolba", std::to_string(c.option));
        d.host.setSetting("kelkit", "cycles", "4000");
        d.dialog.load();
        EXPECT_EQ(d.controls.selected, c.option);
        EXPECT_EQ(d.controls.text, "4000");
        EXPECT_TRUE(d.save());
        EXPECT_EQ(d.host.settingWrites, c.writes) << "opt" << c.option;
    }
}

TEST(ConfigurationDialog, StoresTheBoxExactlyAsTyped) {
    for (const std::string typed : {"20", "00010", "+1000", "65536"}) {
        Dialog d;
        d.dialog.load();
        d.controls.text = typed;
        d.controls.selected = 3;
        EXPECT_TRUE(d.save()) << typed;
        EXPECT_EQ(d.host.settingWrites, kelkitWrites("false", "false", "surface", "3", typed));
    }
}

TEST(ConfigurationDialog, InvalidCountIsReportedAndTheDialogStays) {
    for (const std::string typed : {"9", "65537", "", "1E4", " 100"}) {
        Dialog d;
        d.host.setSetting("kelkit", "predvolba", "2");
        d.dialog.load();
        d.controls.events.clear();
        d.controls.text = typed;
        EXPECT_FALSE(d.save()) << typed;
        ASSERT_EQ(d.host.messages.size(), 1u) << typed;
        EXPECT_EQ(d.host.messages[0].text, "Invalid CPU cycles value.");
        EXPECT_EQ(d.host.messages[0].title, "Kelmor");
        EXPECT_EQ(d.host.messages[0].style, MessageStyle::Warning);
        EXPECT_EQ(d.controls.events, (std::vector<std::string>{"text=", "focus"})) << typed;
        EXPECT_EQ(d.controls.selected, 2) << "the option stays selected";
        EXPECT_TRUE(d.host.settingWrites.empty()) << typed;
    }
}

TEST(ConfigurationDialog, EveryInvalidSaveIsReportedUntilTheCountIsValid) {
    Dialog d;
    d.dialog.load();
    d.controls.text = "9";
    EXPECT_FALSE(d.save());
    EXPECT_FALSE(d.save());  // the emptied box is no number either
    EXPECT_EQ(d.host.messages.size(), 2u);
    d.controls.text = "10";
    EXPECT_TRUE(d.save());
    EXPECT_EQ(d.host.settingWrites, kelkitWrites("true", "false", "surface", "1", "10"));
}

TEST(ConfigurationDialog, UnknownStoredPresetSelectsNothingAndSavesNothing) {
    for (const std::string stored : {"7", "0", " 1", "1 ", "01", ""}) {
        Dialog d;
        d.host.setSetting("kelkit", "predvolba", stored);
        d.host.setSetting("kelkit", "cycles", "3000");
        d.dialog.load();
        EXPECT_EQ(d.controls.selected, 0) << "'" << stored << "'";
        d.controls.text = "12000";
        EXPECT_TRUE(d.save()) << "'" << stored << "'";
        EXPECT_TRUE(d.host.settingWrites.empty()) << "'" << stored << "'";
    }
}

TEST(ConfigurationDialog, StoredCountFillsTheBoxUnchecked) {
    Dialog d;
    d.host.setSetting("kelkit", "cycles", "max 105%");
    d.dialog.load();
    EXPECT_EQ(d.controls.text, "max 105%");
}

TEST(ConfigurationDialog, CancelAndCloseBoxStoreNothing) {
    using Click = void (ConfigurationDialog::*)();
    for (const Click click :
         {&ConfigurationDialog::cmdCancelClicked, &ConfigurationDialog::closeBoxClicked}) {
        Dialog d;
        d.dialog.load();
        d.controls.text = "30000";
        d.controls.selected = 4;
        EXPECT_THROW((d.dialog.*click)(), ProcessEnded);
        EXPECT_TRUE(d.host.settingWrites.empty());
        EXPECT_TRUE(d.host.messages.empty());
    }
}

// The game's form: the same presets and check, written to "kel1", and
// chkIntro for "intro"; a value that is neither "1" nor "0" stays unless
// the box is changed.
TEST(ConfigurationDialog, GameFormWritesKel1AndTheIntro) {
    struct Case {
        const char* stored;  // nullptr: absent
        bool shownChecked;
        bool leftChecked;
        const char* written;  // nullptr: not written
    };
    const Case cases[] = {
        {nullptr, true, true, "1"}, {"1", true, false, "0"},        {"0", false, false, "0"},
        {"0", false, true, "1"},    {"yes", false, false, nullptr}, {"yes", false, true, "1"},
    };
    for (const Case& c : cases) {
        FakeHost host;
        FakeControls controls;
        ConfigurationDialog dialog(host, controls, configurationForm("kel1"));
        if (c.stored) host.setSetting("kel1", "intro", c.stored);
        dialog.load();
        EXPECT_EQ(controls.intro, c.shownChecked) << c.stored;
        controls.intro = c.leftChecked;
        controls.selected = 3;
        EXPECT_THROW(dialog.cmdOkClicked(), ProcessEnded);
        std::vector<std::string> writes{"kel1/kel1/fullscreen=false", "kel1/kel1/fullfixed=false",
                                        "kel1/kel1/output=surface", "kel1/kel1/predvolba=3",
                                        "kel1/kel1/cycles=20000"};
        if (c.written) writes.push_back(std::string("kel1/kel1/intro=") + c.written);
        EXPECT_EQ(host.settingWrites, writes) << c.stored;
    }
    EXPECT_EQ(&configurationForm(""), &kKitConfigurationForm);
    EXPECT_EQ(kGameConfigurationForm.window.caption, "Kelmor Configuration");
}

TEST(ConfigurationWindow, IsCentredWithItsFrameCounted) {
    const TwipSize outer = outerSize(kConfigurationWindow);
    EXPECT_EQ(outer.width, (327 + 6) * 15);
    EXPECT_EQ(outer.height, (302 + 25) * 15);
    const TwipPosition p = centredPosition({15360, 11520}, outer);
    EXPECT_EQ(p.left, 5182);
    EXPECT_EQ(p.top, 3307);
}

// The kit's form at 96 dots per inch: each caption that needs more room
// than its control has gets it, what lies beside moves along, a frame
// keeps its room around what it holds, and the window its margin.
TEST(ConfigurationWindow, WidensWhereACaptionNeedsRoom) {
    enum { lblPopis, txtCycles, opt2, cmdOk, cmdCancel, frame1, lblAbout };
    const std::vector<FittedControl> form{
        {16, 16, 65, 17},
        {80, 16, 81, 19},
        {16, 64, 233, 17},
        {24, 144, 137, 25},
        {168, 144, 137, 25},
        {16, 192, 297, 89},
        {24, 208, 281, 65, 0, frame1},
    };
    struct Case {
        const char* name;
        std::vector<std::pair<int, int>> needs;   // control, width its caption needs
        std::vector<std::array<int, 3>> changed;  // control, left, width
        int clientWidth;
    };
    const Case cases[] = {
        {"every caption fits", {{lblPopis, 65}, {opt2, 200}, {lblAbout, 281}}, {}, 327},
        {"the label pushes the box",
         {{lblPopis, 70}},
         {{lblPopis, 16, 70}, {txtCycles, 85, 81}},
         327},
        {"an option needs the margin", {{opt2, 300}}, {{opt2, 16, 300}}, 330},
        {"the buttons in a row",
         {{cmdOk, 150}, {cmdCancel, 140}},
         {{cmdOk, 24, 150}, {cmdCancel, 181, 140}},
         335},
        {"a label in its frame", {{lblAbout, 300}}, {{lblAbout, 24, 300}, {frame1, 16, 316}}, 346},
    };
    for (const Case& c : cases) {
        std::vector<FittedControl> fitted = form;
        for (const auto& [control, need] : c.needs) fitted[control].neededWidth = need;
        EXPECT_EQ(fitCaptions(fitted, 327), c.clientWidth) << c.name;
        std::vector<FittedControl> expected = form;
        for (const auto& [control, left, width] : c.changed) {
            expected[control].left = left;
            expected[control].width = width;
        }
        for (std::size_t i = 0; i < form.size(); ++i) {
            EXPECT_EQ(fitted[i].left, expected[i].left) << c.name << ", control " << i;
            EXPECT_EQ(fitted[i].width, expected[i].width) << c.name << ", control " << i;
            EXPECT_EQ(fitted[i].top, form[i].top) << c.name << ", control " << i;
        }
    }
}

// The player's dosbox-user.conf: what it sets of the dialog's settings, in
// any DOSBox's words and in their sections only, is named in one line.
TEST(UserConfiguration, NamesTheDialogsSettingsItSets) {
    const std::pair<const char*, const char*> rows[] = {
        {"", ""},
        {"[midi]\nmididevice=alsa\n[render]\nscaler=none\n", ""},
        {"[sdl]\nfullscreen=true\n[cpu]\ncycles=3000\n", "sets fullscreen and cycles"},
        {"[CPU]\r\n  CPU_Cycles = 3000\r\ncpu_cycles_protected=auto\r\n",
         "sets cpu_cycles and cpu_cycles_protected"},
        {"[cpu]\ncycles=\n[sdl]\noutput=opengl\nfullfixed=true\n# fullscreen=true\n",
         "sets fullfixed and output"},
        {"[sdl]\nfullscreen=false\noutput=surface\nfullfixed=false\n[cpu]\ncycles=max\n",
         "sets fullscreen, fullfixed, output and cycles"},
        {"fullscreen=true\n[dosbox]\ncycles=3000\n", ""},
    };
    for (const auto& [configuration, sets] : rows) {
        const std::string notice =
            overridesNotice(configuration, "/home/ann/.config/kelmor/dosbox-user.conf");
        EXPECT_EQ(notice, *sets ? "Your dosbox-user.conf " + std::string(sets) +
                                      "; its values win: /home/ann/.config/kelmor/dosbox-user.conf"
                                : "")
            << configuration;
    }
}

}  // namespace
}  // namespace kelmor
