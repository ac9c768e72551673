// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/dosbox_config.hpp"

#include <gtest/gtest.h>

#include "tests/support/fake_host.hpp"
#include "tests/support/pe_images.hpp"

namespace kelmor {
namespace {

using testing::FakeHost;

std::string withCrLf(std::string_view lines) {
    std::string text;
    for (char c : lines) {
        if (c == '\n') text += '\r';
        text += c;
    }
    return text;
}

// The game variant as DOSBox must receive it, typed out line by line.
const std::string kGameTemplate = withCrLf(R"([sdl]
fullscreen=(fullscreen)
fulldouble=false
fullfixed=(fullfixed)
fullresolution=800x600
output=(output)
hwscale=1.00
autolock=true
sensitivity=100
waitonerror=true
priority=higher,normal
mapperfile=mapper.txt

[dosbox]
language=
machine=vga
captures=capture
memsize=16

[render]
frameskip=0
aspect=false
scaler=normal2x

[cpu]
core=normal
cycles=(cycles)
cycleup=500
cycledown=20

[mixer]
nosound=false
rate=22050
blocksize=2048
prebuffer=10

[midi]
mpu401=true
intelligent=true
device=default
config=

[sblaster]
type=sb16
base=220
irq=7
dma=1
hdma=5
mixer=true
oplmode=auto
oplrate=22050

[gus]
gus=true
rate=22050
base=240
irq1=5
irq2=5
dma1=3
dma2=3
ultradir=C:\ULTRASND

[speaker]
pcspeaker=true
pcrate=22050
tandyrate=22050
disney=true

[bios]


[dos]
xms=true
ems=true

[modem]
modem=false
comport=2
listenport=23

[directserial]
directserial=false
comport=1
realport=COM1
defaultbps=1200
parity=N
bytesize=8
stopbit=1

[ipx]
ipx=false

[autoexec]
)");

TEST(ConfigurationTemplate, GameVariantIsByteForByteTheExpectedText) {
    const std::string text = configurationTemplate(TemplateVariant::Game);
    EXPECT_EQ(text, kGameTemplate);
    EXPECT_EQ(text.size(), 1052u);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 93);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\r'), 93);
}

TEST(ConfigurationTemplate, KitVariantDiffersOnlyInFrameskip) {
    std::string expected = kGameTemplate;
    expected.replace(expected.find("frameskip=0"), 11, "frameskip=1");
    EXPECT_EQ(configurationTemplate(TemplateVariant::Kit), expected);
}

TEST(ReplaceAll, ScansLeftToRightWithoutOverlap) {
    struct Case {
        std::string_view text, token, value, expected;
    };
    const Case cases[] = {
        {"a=(x)", "(x)", "1", "a=1"},
        {"(x)(x)", "(x)", "", ""},
        {"((x))", "(x)", "(x)", "((x))"},  // an inserted token is not scanned again
        {"aaa", "aa", "b", "ba"},          // no overlapping matches
        {"(X)", "(x)", "1", "(X)"},        // case-sensitive
        {"none here", "(x)", "1", "none here"},
        {"", "(x)", "1", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(replaceAll(c.text, c.token, c.value), c.expected) << c.text;
}

std::string lineOf(const std::string& text, std::string_view prefix) {
    const std::size_t at = text.find("\n" + std::string(prefix));
    if (at == std::string::npos) return "<missing>";
    return text.substr(at + 1, text.find('\r', at) - at - 1);
}

TEST(RenderPlaceholders, EmptyStoreGivesTheDefaults) {
    FakeHost host;
    const std::string text =
        renderPlaceholders(host, configurationTemplate(TemplateVariant::Kit), "kelkit");
    EXPECT_EQ(lineOf("\n" + text, "fullscreen="), "fullscreen=true");
    EXPECT_EQ(lineOf(text, "fullfixed="), "fullfixed=false");
    EXPECT_EQ(lineOf(text, "output="), "output=surface");
    EXPECT_EQ(lineOf(text, "cycles="), "cycles=20000");
    EXPECT_EQ(text.find('('), std::string::npos);
}

TEST(RenderPlaceholders, ValuesAreInsertedVerbatimInTheFixedOrder) {
    struct Case {
        const char* name;
        std::vector<std::pair<std::string, std::string>> settings;
        std::string_view linePrefix, expectedLine;
    };
    const Case cases[] = {
        {"empty value", {{"cycles", ""}}, "cycles=", "cycles="},
        {"leading zeros kept", {{"cycles", "00010"}}, "cycles=", "cycles=00010"},
        {"odd text kept", {{"output", " open gl;#="}}, "output=", "output= open gl;#="},
        {"later token inside a value is filled",
         {{"cycles", "(output)"}, {"output", "opengl"}},
         "cycles=",
         "cycles=opengl"},
        {"earlier token inside a value stays",
         {{"output", "(cycles)"}, {"cycles", "3000"}},
         "output=",
         "output=(cycles)"},
        {"token of its own kept",
         {{"fullscreen", "(fullscreen)"}},
         "fullscreen=",
         "fullscreen=(fullscreen)"},
    };
    for (const Case& c : cases) {
        FakeHost host;
        for (const auto& [key, value] : c.settings) host.setSetting("kelkit", key, value);
        const std::string text =
            "\n" + renderPlaceholders(host, configurationTemplate(TemplateVariant::Kit), "kelkit");
        EXPECT_EQ(lineOf(text, c.linePrefix), c.expectedLine) << c.name;
    }
}

TEST(RenderPlaceholders, ReadsOnlyItsOwnSettings) {
    FakeHost host;
    host.setSetting("kel1", "cycles", "1234");
    const std::string text =
        renderPlaceholders(host, configurationTemplate(TemplateVariant::Kit), "kelkit");
    EXPECT_EQ(lineOf(text, "cycles="), "cycles=20000");
}

TEST(WriteConfiguration, AppendsCrLfAndReplacesTheWholeFile) {
    FakeHost host;
    host.addFile("C:\\Games\\Kelmor\\dosbox.conf", std::string(5000, 'x'));
    writeConfiguration(host, "[autoexec]\r\nexit");
    EXPECT_EQ(host.content("C:\\Games\\Kelmor\\dosbox.conf"), "[autoexec]\r\nexit\r\n");
}

TEST(StartEmulator, StartsDosboxExeOfTheApplicationFolderWithNoconsole) {
    FakeHost host;
    host.folder = "C:\\Program Files\\Kelmor";
    startEmulator(host);
    ASSERT_EQ(host.started.size(), 1u);
    EXPECT_EQ(host.started[0].program, "C:\\Program Files\\Kelmor\\dosbox.exe");
    EXPECT_EQ(host.started[0].arguments, std::vector<std::string>{"-noconsole"});
}

// dosbox.exe of each emulator, told by its version resource: the file as
// the launchers write it for DOSBox 0.74 and anything unknown, its copy in
// the emulator's dialect for the others, and only that.
TEST(StartEmulator, EachEmulatorIsHandedTheDialectItTakes) {
    struct Case {
        const char* what;
        std::array<unsigned, 4> version;
        std::u16string_view product;
        const char* configuration;  // as the launcher names it; empty: dosbox.conf
        const char* copy;           // the file handed instead; empty: none
        std::vector<std::string> arguments;
    };
    const Case cases[] = {
        {"Staging 0.82",
         {0, 82, 2, 0},
         u"DOSBox Staging",
         "",
         "dosbox.staging.conf",
         {"-noconsole", "-nolocalconf", "-conf", "dosbox.staging.conf"}},
        {"Staging 0.83, the map editor",
         {0, 83, 0, 0},
         u"DOSBox Staging",
         "mapeditor.conf",
         "mapeditor.staging-0.83.conf",
         {"-noconsole", "-nolocalconf", "-conf", "mapeditor.staging-0.83.conf"}},
        {"DOSBox-X",
         {2025, 2, 1, 0},
         u"DOSBox-X",
         "",
         "dosbox.dosbox-x.conf",
         {"-noconsole", "-conf", "dosbox.dosbox-x.conf"}},
        {"DOSBox 0.74", {0, 74, 3, 0}, u"DOSBox DOS Emulator", "", "", {"-noconsole"}},
        {"DOSBox 0.74, the map editor",
         {0, 74, 3, 0},
         u"DOSBox DOS Emulator",
         "mapeditor.conf",
         "",
         {"-noconsole", "-conf", "mapeditor.conf"}},
        {"a program without a version resource", {}, u"", "", "", {"-noconsole"}},
    };
    for (const Case& c : cases) {
        FakeHost host;
        host.folder = "C:\\Games\\Kelmor";
        const std::string version =
            c.product.empty() ? std::string()
                              : testing::versionResource(
                                    c.version, testing::programStrings(c.product, c.product));
        host.addFile(host.folder + "\\dosbox.exe", testing::peImage(version, false).bytes);
        const std::string name = *c.configuration ? c.configuration : "dosbox.conf";
        writeConfiguration(host, "[dosbox]\r\nmachine=vga\r\n[autoexec]\r\nexit", "\\" + name);
        startEmulator(host, c.configuration);
        EXPECT_EQ(host.content(host.folder + "\\" + name),
                  "[dosbox]\r\nmachine=vga\r\n[autoexec]\r\nexit\r\n")
            << c.what;
        EXPECT_EQ(host.hasFile(host.folder + "\\" + (*c.copy ? c.copy : "-")), *c.copy != '\0')
            << c.what;
        if (*c.copy) {
            EXPECT_NE(host.content(host.folder + "\\" + c.copy).find("machine=svga_s3"),
                      std::string::npos);
        }
        ASSERT_EQ(host.started.size(), 1u) << c.what;
        EXPECT_EQ(host.started[0].arguments, c.arguments) << c.what;
    }
}

}  // namespace
}  // namespace kelmor
