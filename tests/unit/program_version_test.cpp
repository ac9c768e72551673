// SPDX-License-Identifier: GPL-3.0-or-later
// Which emulator stands behind dosbox.exe: its version resource read from
// programs made in memory (PE32 and PE32+), and broken in the ways a damaged
// or hostile file is; and its --version line. Nothing is ever read beyond
// what was read before (the sanitizer tree runs these too).
#include <gtest/gtest.h>

#include <cerrno>
#include <functional>
#include <string>
#include <system_error>
#include <vector>

#include "core/program_version.hpp"
#include "tests/support/fake_host.hpp"
#include "tests/support/pe_images.hpp"

namespace kelmor {
namespace {

using namespace testing;

std::vector<VersionString> strings(std::u16string_view product, std::u16string_view description) {
    return programStrings(product, description);
}

std::string staging082() {
    return versionResource({0, 82, 2, 0},
                           strings(u"DOSBox Staging", u"DOSBox Staging DOS Emulator"));
}

// Reads a program's bytes as a host does, counting what it hands out.
std::optional<ProgramVersion> versionOf(const std::string& bytes,
                                        std::size_t* handedOut = nullptr) {
    return programVersion([&](std::uint64_t offset, std::size_t count) {
        const std::string part =
            offset < bytes.size() ? bytes.substr(offset, count) : std::string();
        if (handedOut) *handedOut += part.size();
        return part;
    });
}

TEST(ProgramVersion, TellsEachEmulatorFromItsVersionResource) {
    struct Case {
        std::array<unsigned, 4> version;
        std::u16string product, description;
        std::string shownDescription;
        EmulatorDialect dialect;
    };
    const std::vector<Case> cases{
        {{0, 82, 2, 0},
         u"DOSBox Staging",
         u"DOSBox Staging DOS Emulator",
         "DOSBox Staging DOS Emulator",
         EmulatorDialect::Staging},
        {{0, 83, 0, 0},
         u"DOSBox Staging",
         u"DOSBox Staging DOS Emulator",
         "DOSBox Staging DOS Emulator",
         EmulatorDialect::Staging083},
        {{0, 74, 3, 0},
         u"DOSBox DOS Emulator",
         u"DOSBox DOS Emulator",
         "DOSBox DOS Emulator",
         EmulatorDialect::Dosbox074},
        {{2025, 2, 1, 0},
         u"DOSBox-X",
         u"DOSBox-X \u2014 x86 emulator \U0001F5B4",
         "DOSBox-X \xE2\x80\x94 x86 emulator \xF0\x9F\x96\xB4",
         EmulatorDialect::DosboxX},
        {{1, 1, 0, 0}, u"Kelmor", u"Kelmor", "Kelmor", EmulatorDialect::Unknown},
    };
    for (const Case& c : cases) {
        for (bool plus : {false, true}) {
            // Behind a code section of a MiB, of which nothing is read.
            const PeImage pe =
                peImage(versionResource(c.version, strings(c.product, c.description)), plus,
                        plus ? 1 << 20 : 0x200);
            std::size_t handedOut = 0;
            const auto version = versionOf(pe.bytes, &handedOut);
            SCOPED_TRACE(c.shownDescription + (plus ? ", PE32+" : ", PE32"));
            ASSERT_TRUE(version);
            EXPECT_EQ(version->fileVersion, c.version);
            EXPECT_EQ(version->fileDescription, c.shownDescription);
            EXPECT_EQ(emulatorFromProgramVersion(*version).dialect, c.dialect);
            EXPECT_LT(handedOut, 2048u);
        }
    }
}

TEST(ProgramVersion, StringsAsTheyLieInTheTable) {
    const std::string dosboxX = utf16z(u"DOSBox-X").substr(0, 16);  // without its zero
    struct Case {
        const char* what;
        std::vector<VersionString> strings;
        std::string product, description;
    };
    const std::vector<Case> cases{
        {"no string table", {}, "", ""},
        {"a value of odd length without its zero",
         {{u"ProductName", dosboxX + "A"}, {u"FileDescription", utf16z(u"x")}},
         "DOSBox-X",
         "x"},
        {"a value's length counted in bytes",
         {{u"ProductName", utf16z(u"DOSBox-X"), 18}},
         "DOSBox-X",
         ""},
        {"a value's length of 0", {{u"ProductName", utf16z(u"DOSBox-X"), 0}}, "", ""},
        {"text behind the zero",
         {{u"ProductName", utf16z(u"DOSBox") + utf16z(u"-X")}},
         "DOSBox",
         ""},
        {"keys in other case, each taken once",
         {{u"productname", utf16z(u"DOSBox-X")},
          {u"PRODUCTNAME", utf16z(u"other")},
          {u"FileDescription", utf16z(u"x")}},
         "DOSBox-X",
         "x"},
        {"lone surrogates",
         {{u"FileDescription", utf16z(u"a\xD800"
                                      u"b\xDC00")}},
         "",
         "a\xEF\xBF\xBD"
         "b\xEF\xBF\xBD"},
    };
    for (const Case& c : cases) {
        const auto version =
            versionOf(peImage(versionResource({0, 74, 3, 0}, c.strings), false).bytes);
        ASSERT_TRUE(version) << c.what;
        EXPECT_EQ(version->productName, c.product) << c.what;
        EXPECT_EQ(version->fileDescription, c.description) << c.what;
    }
}

TEST(ProgramVersion, NothingFromADamagedProgram) {
    struct Case {
        const char* what;
        std::function<void(PeImage&)> damage;
    };
    const auto at = [](PeImage& pe, std::size_t resources) { return pe.resourcesAt + resources; };
    const std::size_t rsrcSection = 40;  // the second section header
    const std::vector<Case> cases{
        {"no MZ", [](PeImage& pe) { pe.bytes[0] = 'X'; }},
        {"e_lfanew beyond the end", [](PeImage& pe) { poke32(pe.bytes, 0x3C, 0xFFFFFFFE); }},
        {"no PE signature", [](PeImage& pe) { pe.bytes[kPeHeaderAt + 2] = 'X'; }},
        {"an optional header of no known kind",
         [](PeImage& pe) { poke16(pe.bytes, kPeHeaderAt + 24, 0x107); }},
        {"an optional header too short",
         [](PeImage& pe) { poke16(pe.bytes, kPeHeaderAt + 20, 100); }},
        {"two data directories",
         [](PeImage& pe) { poke32(pe.bytes, pe.resourceDirectoryAt - 20, 2); }},
        {"no resources", [](PeImage& pe) { poke32(pe.bytes, pe.resourceDirectoryAt, 0); }},
        {"resources outside every section",
         [](PeImage& pe) {
             poke32(pe.bytes, pe.resourceDirectoryAt, kResourcesAddress + 0x10000);
         }},
        {"resources at the end of the code section's data",
         [](PeImage& pe) { poke32(pe.bytes, pe.resourceDirectoryAt, kCodeAddress + 0x1F8); }},
        {"section data larger than the file",
         [&](PeImage& pe) {
             poke32(pe.bytes, pe.sectionTableAt + rsrcSection + 16, 0xFFFFFFFF);
             poke32(pe.bytes, at(pe, kDataEntry + 4), 0xF000);
         }},
        {"a table outside the resources",
         [&](PeImage& pe) { poke32(pe.bytes, at(pe, kRootTable + 28), 0xFFFFFFF0); }},
        {"entries counted beyond the resources",
         [&](PeImage& pe) { poke16(pe.bytes, at(pe, kRootTable + 12), 0xFFFF); }},
        {"the name table leading back to the root",
         [&](PeImage& pe) { poke32(pe.bytes, at(pe, kNameTable + 20), 0x80000000); }},
        {"the language table leading to itself",
         [&](PeImage& pe) {
             poke32(pe.bytes, at(pe, kLanguageTable + 20), 0x80000000 | kLanguageTable);
         }},
        {"an empty language table",
         [&](PeImage& pe) { poke16(pe.bytes, at(pe, kLanguageTable + 14), 0); }},
        {"no RT_VERSION", [&](PeImage& pe) { poke32(pe.bytes, at(pe, kRootTable + 24), 17); }},
        {"a version resource larger than the section",
         [&](PeImage& pe) { poke32(pe.bytes, at(pe, kDataEntry + 4), 0x10000); }},
        {"a version block longer than the resource",
         [&](PeImage& pe) { poke16(pe.bytes, at(pe, kVersionAt), 0xFFFF); }},
        {"a version block shorter than its key",
         [&](PeImage& pe) { poke16(pe.bytes, at(pe, kVersionAt), 20); }},
        {"a version block of another key",
         [&](PeImage& pe) { pe.bytes[at(pe, kVersionAt + 6)] = 'W'; }},
        {"a fixed part of 40 bytes",
         [&](PeImage& pe) { poke16(pe.bytes, at(pe, kVersionAt + 2), 40); }},
        {"a fixed part without its signature",
         [&](PeImage& pe) { poke32(pe.bytes, at(pe, kVersionAt + 40), 0xFEEF04BC); }},
        {"a child block longer than its parent",
         [&](PeImage& pe) { poke16(pe.bytes, at(pe, kVersionAt + 92), 0x7000); }},
        {"a child block of no length",
         [&](PeImage& pe) { poke16(pe.bytes, at(pe, kVersionAt + 92), 0); }},
    };
    for (bool plus : {false, true}) {
        const PeImage good = peImage(staging082(), plus);
        ASSERT_TRUE(versionOf(good.bytes));
        for (const Case& c : cases) {
            PeImage pe = good;
            c.damage(pe);
            EXPECT_FALSE(versionOf(pe.bytes)) << c.what << (plus ? ", PE32+" : ", PE32");
        }
        for (std::size_t length = 0; length < good.bytes.size(); ++length)
            EXPECT_FALSE(versionOf(good.bytes.substr(0, length))) << "cut to " << length;
    }
}

// Real version resources take a few KiB; up to 64 KiB is read, more refused.
TEST(ProgramVersion, AVersionResourceOfUpTo64KiB) {
    const std::string resource = staging082();
    for (std::size_t size : {kLargestVersionResource, kLargestVersionResource + 1}) {
        const auto version =
            versionOf(peImage(resource + std::string(size - resource.size(), '\0'), true).bytes);
        EXPECT_EQ(version.has_value(), size == kLargestVersionResource) << size;
    }
}

TEST(ProgramVersion, ThroughTheHostNothingWhereTheFileCannotBeRead) {
    FakeHost host;
    host.addFile("C:\\Games\\Kelmor\\dosbox.exe", peImage(staging082(), false).bytes);
    EXPECT_EQ(programVersion(host, "C:\\Games\\Kelmor\\DOSBOX.EXE")->productName, "DOSBox Staging");
    EXPECT_FALSE(programVersion(host, "C:\\Games\\Kelmor\\missing.exe"));
    host.failOn("read", "C:\\Games\\Kelmor\\dosbox.exe", EIO);
    EXPECT_FALSE(programVersion(host, "C:\\Games\\Kelmor\\dosbox.exe"));
    // Read through a function, its failure is the caller's.
    EXPECT_THROW(programVersion([](std::uint64_t, std::size_t) -> std::string {
                     throw std::system_error(EIO, std::generic_category());
                 }),
                 std::system_error);
}

TEST(EmulatorFromVersionOutput, TheFirstLineThatNamesOne) {
    struct Case {
        std::string output;
        EmulatorDialect dialect;
        std::string name;
    };
    const std::vector<Case> cases{
        {"\nDOSBox version 0.74-3, copyright 2002-2019 DOSBox Team.\n"
         "DOSBox is written by the DOSBox Team (See AUTHORS file))\n",
         EmulatorDialect::Dosbox074, "DOSBox 0.74-3"},
        {"dosbox-staging, version 0.82.2 (f8c24)\r\n", EmulatorDialect::Staging,
         "DOSBox Staging 0.82.2"},
        {"dosbox-staging, version 0.83.0-RC1 (81835)", EmulatorDialect::Staging083,
         "DOSBox Staging 0.83.0-RC1"},
        {"DOSBox-X version 2025.02.01 SDL2, copyright 2011-2025 The DOSBox-X Team.\n",
         EmulatorDialect::DosboxX, "DOSBox-X 2025.02.01"},
        {"\nDOSBox version 0.82.17 SDL2, copyright 2002-2015 DOSBox Team.\n",
         EmulatorDialect::DosboxX, "DOSBox-X 0.82.17"},
        {"", EmulatorDialect::Unknown, ""},
        {"DOSBox version \nMagic DOSBox 1.0\ndosbox-staging 0.82.2\n", EmulatorDialect::Unknown,
         ""},
        {"  My DOSBox version 0.74-3\n", EmulatorDialect::Unknown, ""},
    };
    for (const Case& c : cases) {
        const EmulatorIdentity identity = emulatorFromVersionOutput(c.output);
        EXPECT_EQ(identity.dialect, c.dialect) << c.output;
        EXPECT_EQ(identity.name, c.name) << c.output;
    }
}

}  // namespace
}  // namespace kelmor
