// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/emulator_configuration.hpp"

#include <gtest/gtest.h>

#include "core/dosbox_config.hpp"
#include "core/midi_choice.hpp"

namespace kelmor {
namespace {

using D = EmulatorDialect;

// What the emulator of a dialect gets for one section's lines: its
// sections as written, without [autoexec] and what every Staging is given.
std::string settingsOf(D dialect, const std::string& lines,
                       const std::vector<EmulatorSetting>& added = {}) {
    std::string text = configurationInDialect(lines + "\r\n[autoexec]\r\n", dialect, added);
    const std::string overwrite = "[dosbox]\r\nautoexec_section=overwrite\r\n\r\n";
    if (const auto at = text.find(overwrite); at != std::string::npos)
        text.erase(at, overwrite.size());
    if (const auto at = text.find("autoexec_section=overwrite\r\n"); at != std::string::npos)
        text.erase(at, 28);
    return text.substr(0, text.rfind("[autoexec]\r\n"));
}

struct SettingCase {
    D dialect;
    const char* given;     // lines of one section, LF-separated
    const char* expected;  // what the emulator gets, CR LF-separated
};

class DialectSetting : public ::testing::TestWithParam<SettingCase> {};

TEST_P(DialectSetting, SameMeaningInTheEmulatorsOwnWords) {
    const SettingCase& c = GetParam();
    EXPECT_EQ(settingsOf(c.dialect, c.given), c.expected) << c.given;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, DialectSetting,
    ::testing::Values(
        // DOSBox 0.74: its own names for the machine and the MPU-401.
        SettingCase{D::Dosbox074, "[dosbox]\nmachine=vga\nmemsize=16",
                    "[dosbox]\r\nmachine=svga_s3\r\nmemsize=16\r\n\r\n"},
        SettingCase{D::Dosbox074, "[midi]\nmpu401=true\nintelligent=true\ndevice=default",
                    "[midi]\r\nmpu401=intelligent\r\nintelligent=true\r\ndevice=default\r\n\r\n"},
        SettingCase{D::Dosbox074, "[sdl]\nfullfixed=false\noutput=surface",
                    "[sdl]\r\nfullfixed=false\r\noutput=surface\r\n\r\n"},
        // Staging: moved, renamed, left out, values become names.
        SettingCase{D::Staging,
                    "[sdl]\nfullscreen=true\nfulldouble=false\nfullfixed=true\nhwscale=1.00",
                    "[sdl]\r\nfullscreen=true\r\n\r\n"},
        SettingCase{D::Staging, "[sdl]\noutput=surface", "[sdl]\r\noutput=texturenb\r\n\r\n"},
        SettingCase{D::Staging, "[sdl]\noutput=opengl", "[sdl]\r\noutput=opengl\r\n\r\n"},
        SettingCase{D::Staging, "[sdl]\noutput=OpenGLNB", "[sdl]\r\noutput=opengl\r\n\r\n"},
        SettingCase{D::Staging, "[sdl]\noutput=what the player wrote",
                    "[sdl]\r\noutput=what the player wrote\r\n\r\n"},
        SettingCase{D::Staging, "[sdl]\nautolock=true\nsensitivity=100",
                    "[mouse]\r\nmouse_capture=onclick\r\nmouse_sensitivity=100\r\n\r\n"},
        SettingCase{D::Staging,
                    "[sdl]\npriority=higher,normal\nwaitonerror=true\nfullresolution=800x600",
                    "[sdl]\r\npriority=higher "
                    "normal\r\nwaitonerror=true\r\nfullresolution=800x600\r\n\r\n"},
        SettingCase{D::Staging083,
                    "[sdl]\npriority=higher,normal\nwaitonerror=true\nfullresolution=800x600", ""},
        SettingCase{D::Staging, "[dosbox]\nlanguage=\nmachine=vga\ncaptures=capture",
                    "[dosbox]\r\nlanguage=\r\nmachine=svga_s3\r\n\r\n[capture]\r\ncapture_dir="
                    "capture\r\n\r\n"},
        SettingCase{D::Staging, "[render]\nframeskip=1\naspect=false\nscaler=normal2x",
                    "[render]\r\naspect=false\r\n\r\n"},
        SettingCase{
            D::Staging083, "[cpu]\ncore=normal\ncycles=20000",
            "[cpu]\r\ncore=normal\r\ncpu_cycles=20000\r\ncpu_cycles_protected=auto\r\n\r\n"},
        SettingCase{D::Staging, "[cpu]\ncycles=max 80%", "[cpu]\r\ncycles=max 80%\r\n\r\n"},
        SettingCase{D::Staging, "[cpu]\ncycles=", "[cpu]\r\ncycles=\r\n\r\n"},
        SettingCase{D::Staging, "[midi]\nmpu401=true\nintelligent=true\ndevice=default\nconfig=",
                    "[midi]\r\nmpu401=intelligent\r\n\r\n"},
        SettingCase{D::Staging,
                    "[sblaster]\ntype=sb16\nbase=220\nirq=7\ndma=1\nhdma=5\nmixer=true\noplmode="
                    "auto\noplrate=22050",
                    "[sblaster]\r\nsbtype=sb16\r\nsbbase=220\r\nirq=7\r\ndma=1\r\nhdma="
                    "5\r\nsbmixer=true\r\n"
                    "oplmode=auto\r\n\r\n"},
        SettingCase{D::Staging083,
                    "[gus]\ngus=true\nrate=22050\nbase=240\nirq1=5\nirq2=5\ndma1=3\ndma2=3",
                    "[gus]\r\ngus=true\r\ngusbase=240\r\ngusirq=5\r\ngusdma=3\r\n\r\n"},
        SettingCase{D::Staging,
                    "[speaker]\npcspeaker=true\npcrate=22050\ntandyrate=22050\ndisney=true",
                    "[speaker]\r\npcspeaker=impulse\r\nlpt_dac=disney\r\n\r\n"},
        SettingCase{D::Staging, "[speaker]\ndisney=false", ""},
        SettingCase{D::Staging,
                    "[bios]\n\n\n[modem]\nmodem=false\ncomport=2\n[directserial]\nparity=N", ""},
        // DOSBox-X: the 0.74 keys, the sound cards by their later names.
        SettingCase{D::DosboxX,
                    "[sdl]\nfullfixed=false\nhwscale=1.00\noutput=surface\npriority=higher,normal",
                    "[sdl]\r\noutput=surface\r\npriority=higher,normal\r\n\r\n"},
        SettingCase{D::DosboxX, "[gus]\nrate=22050\nbase=240\nirq1=5\nirq2=5\ndma1=3\ndma2=3",
                    "[gus]\r\ngusrate=22050\r\ngusbase=240\r\ngusirq=5\r\ngusdma=3\r\n\r\n"},
        SettingCase{D::DosboxX, "[speaker]\npcspeaker=true\ndisney=true",
                    "[speaker]\r\npcspeaker=true\r\ndisney=true\r\n\r\n"},
        // How lines are read: blanks, letter case, comments.
        SettingCase{D::Staging,
                    "[SBlaster]\n  Type = sb16  \n# a comment\n; another\nno equals sign",
                    "[sblaster]\r\nsbtype=sb16\r\n\r\n"}));

TEST(EmulatorConfiguration, UnknownEmulatorGetsTheFileAsItIs) {
    const std::string text = configurationTemplate(TemplateVariant::Game) + "exit";
    EXPECT_EQ(configurationInDialect(text, D::Unknown, {{"midi", "mididevice", "alsa"}}), text);
}

TEST(EmulatorConfiguration, StagingReplacesEarlierAutoexecsAndTakesAddedSettings) {
    const std::string text =
        configurationInDialect("[midi]\nmpu401=true\n[autoexec]\nexit\n", D::Staging083,
                               {{"midi", "mpu401", "uart"},
                                {"midi", "mididevice", "fluidsynth"},
                                {"fluidsynth", "soundfont", "default-GM"}});
    EXPECT_EQ(text,
              "[midi]\r\nmpu401=uart\r\nmididevice=fluidsynth\r\n\r\n"
              "[dosbox]\r\nautoexec_section=overwrite\r\n\r\n"
              "[fluidsynth]\r\nsoundfont=default-GM\r\n\r\n[autoexec]\r\nexit\n");
    EXPECT_EQ(configurationOnlyArguments(D::Staging), std::vector<std::string>{"-nolocalconf"});
    EXPECT_TRUE(configurationOnlyArguments(D::Dosbox074).empty());
    EXPECT_TRUE(configurationOnlyArguments(D::DosboxX).empty());
}

TEST(EmulatorConfiguration, AutoexecLinesAsEachEmulatorTakesThem) {
    struct Case {
        D dialect;
        const char* line;
        const char* expected;
    };
    const Case cases[] = {
        {D::Dosbox074, R"(MOUNT E "/media/cd" -t cdrom -usecd 0 -ioctl)",
         R"(MOUNT E "/media/cd" -t cdrom -usecd 0 -ioctl)"},
        {D::Staging, R"(MOUNT E "/media/cd" -t cdrom -usecd 0 -ioctl)",
         R"(MOUNT E "/media/cd" -t cdrom)"},
        {D::Staging083, "@mount\tE E:\\ -IOCTL -t cdrom", "@mount\tE E:\\ -t cdrom"},
        {D::Staging, R"(MOUNT E "/cds/-ioctl" -t cdrom)", R"(MOUNT E "/cds/-ioctl" -t cdrom)"},
        {D::Staging, R"(IMGMOUNT E "/cds/kelmor.cue" -t iso)",
         R"(IMGMOUNT E "/cds/kelmor.cue" -t iso)"},
        {D::Staging083, R"(  @IMGMOUNT E "/cds/kelmor.cue" -t iso)",
         R"(  @MOUNT E "/cds/kelmor.cue" -t iso)"},
        {D::Staging083, "KELMOR.EXE save=B: -ioctl", "KELMOR.EXE save=B: -ioctl"},
        {D::DosboxX, "mount E E:\\ -t cdrom -usecd 0 -ioctl",
         "mount E E:\\ -t cdrom -usecd 0 -ioctl"},
    };
    for (const Case& c : cases) {
        const std::string text = configurationInDialect(
            std::string("[autoexec]\r\n") + c.line + "\r\necho\n", c.dialect);
        EXPECT_EQ(text.substr(text.find("[autoexec]")),
                  std::string("[autoexec]\r\n") + c.expected + "\r\necho\n")
            << c.line;
    }
}

// /proc/asound/seq/clients as Linux writes it: the system's own clients,
// a USB keyboard's port, and a synthesizer started by the player.
constexpr std::string_view kClientsWithSynthesizer =
    "Client info\n  cur  clients : 4\n  peak clients : 4\n  max  clients : 192\n\n"
    "Client   0 : \"System\" [Kernel]\n  Port   0 : \"Timer\" (Rwe-)\n"
    "  Port   1 : \"Announce\" (R-e-)\n    Connecting To: 15:0\n"
    "Client  14 : \"Midi Through\" [Kernel]\n  Port   0 : \"Midi Through Port-0\" (RWe-)\n"
    "Client  24 : \"USB Keystation\" [Kernel]\n  Port   0 : \"USB Keystation MIDI 1\" (RWeX)\n"
    "Client 128 : \"aseqdump\" [User Legacy]\n  Port   0 : \"aseqdump\" (-We-)\n";

TEST(MidiChoice, DeviceWhereThePlayerNamedNone) {
    const std::string kernelOnly(
        kClientsWithSynthesizer.substr(0, kClientsWithSynthesizer.find("Client 128")));
    EXPECT_EQ(sequencerSynthesizerPort(kClientsWithSynthesizer), "128:0");
    EXPECT_EQ(sequencerSynthesizerPort(kernelOnly +
                                       "Client 129 : \"FLUID Synth (4391)\" [User]\n"
                                       "  Port   0 : \"Synth output (4391:0)\" (R-e-)\n"
                                       "  Port   1 : \"Synth input port (4391:0)\" (-We-)\n"),
              "129:1");
    EXPECT_EQ(sequencerSynthesizerPort(kernelOnly), std::nullopt);
    EXPECT_EQ(sequencerSynthesizerPort(""), std::nullopt);

    const std::string soundFont = "/usr/share/sounds/sf2/default-GM.sf2";
    struct Case {
        const char* what;
        D dialect;
        MidiFacts facts;
        std::vector<EmulatorSetting> expected;
    };
    const Case cases[] = {
        {"Staging plays it itself",
         D::Staging,
         {false, "128:0", soundFont},
         {{"midi", "mididevice", "fluidsynth"}, {"fluidsynth", "soundfont", "default-GM"}}},
        {"Staging, the player's device", D::Staging083, {true, std::nullopt, soundFont}, {}},
        {"Staging without the sound font", D::Staging083, {false, "128:0", ""}, {}},
        {"0.74 to the synthesizer",
         D::Dosbox074,
         {false, "128:0", soundFont},
         {{"midi", "mididevice", "alsa"}, {"midi", "midiconfig", "128:0"}}},
        {"0.74 without a synthesizer", D::Dosbox074, {false, std::nullopt, soundFont}, {}},
        {"0.74, the player's device", D::Dosbox074, {true, "128:0", soundFont}, {}},
        {"DOSBox-X by the sound font's path",
         D::DosboxX,
         {false, std::nullopt, soundFont},
         {{"midi", "mididevice", "fluidsynth"}, {"midi", "fluid.soundfont", soundFont}}},
        {"an unknown emulator is left alone", D::Unknown, {false, "128:0", soundFont}, {}},
    };
    for (const Case& c : cases) {
        const auto settings = midiSettings(c.dialect, c.facts);
        ASSERT_EQ(settings.size(), c.expected.size()) << c.what;
        for (std::size_t i = 0; i < settings.size(); ++i)
            EXPECT_EQ(settings[i].section + "/" + settings[i].key + "=" + settings[i].value,
                      c.expected[i].section + "/" + c.expected[i].key + "=" + c.expected[i].value)
                << c.what;
    }
    EXPECT_TRUE(namesMidiDevice("[midi]\r\nMidiDevice = alsa\r\n"));
    EXPECT_FALSE(namesMidiDevice("[midi]\nmididevice=\n[sdl]\nfullscreen=true\n"));
    EXPECT_FALSE(namesMidiDevice("[sblaster]\nmididevice=alsa\n"));
}

}  // namespace
}  // namespace kelmor
