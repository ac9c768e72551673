// SPDX-License-Identifier: GPL-3.0-or-later
// The INI text format and the settings store built on it.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "core/ini_text.hpp"
#include "core/posix/posix_host.hpp"
#include "tests/support/temp_folder.hpp"

namespace kelmor::posix {
namespace {

using test::TempFolder;

TEST(IniText, FindsEntriesWithoutRegardToCaseAndKeepsValuesVerbatim) {
    struct Case {
        const char* name;
        std::string text;
        std::optional<std::string> expected;
    };  // [s] k
    const std::vector<Case> cases = {
        {"case of section and key", "[S]\nK=1\n", "1"},
        {"CR LF line ends", "[s]\r\nk=3000\r\n", "3000"},
        {"value verbatim", "[s]\nk= a=b ;c #d \n", " a=b ;c #d "},
        {"empty value, no final line end", "[s]\nk=", ""},
        {"blanks around key and header", "  [ s ]  \n  k\t=v\n", "v"},
        {"comment lines", "[s]\n;k=1\n  #k=2\nk=3\n", "3"},
        {"first entry wins", "[s]\nk=1\nk=2\n[s]\nk=3\n", "1"},
        {"entry above every section", "k=1\n[s]\n", std::nullopt},
        {"entry of another section", "[a]\nk=1\n[s]\n[b]\nk=2\n", std::nullopt},
        {"garbage ignored", "\x01\x02garbage\n[s\nk=1\n[s]\nno equals\n=x\nk=2\n", "2"},
        {"binary", std::string("\0\xff[s]\0\nk=1", 10), std::nullopt},
        {"UTF-8 byte-order mark", "\xEF\xBB\xBF[s]\r\nk=1\r\n", "1"},
    };
    for (const auto& c : cases) EXPECT_EQ(IniText(c.text).value("s", "k"), c.expected) << c.name;
}

TEST(IniText, SettingAValueChangesOneLineAndKeepsEveryOther) {
    struct Case {
        const char* name;
        std::string text, expected;
    };  // after setting [s] k=v
    const std::vector<Case> cases = {
        {"empty text", "", "[s]\nk=v\n"},
        {"replaced in place", "; head\n[s]\na=1\nk=old\nb=2\n", "; head\n[s]\na=1\nk=v\nb=2\n"},
        {"key spelling kept", "[S]\n  K = old\n", "[S]\n  K =v\n"},
        {"added at the end of its section", "[s]\na=1\n; note\n\n[t]\nb=2\n",
         "[s]\na=1\n; note\nk=v\n\n[t]\nb=2\n"},
        {"added to an empty section", "[s]\n[t]\n", "[s]\nk=v\n[t]\n"},
        {"new section at the end", "x\n[t]\nb=2", "x\n[t]\nb=2\n\n[s]\nk=v\n"},
        {"CR LF kept", "[s]\r\na=1\r\nk=1\r\n", "[s]\r\na=1\r\nk=v\r\n"},
        {"CR LF for new lines", "[s]\r\na=1", "[s]\r\na=1\r\nk=v\r\n"},
        {"byte-order mark kept", "\xEF\xBB\xBF[s]\nk=1\n", "\xEF\xBB\xBF[s]\nk=v\n"},
    };
    for (const auto& c : cases) {
        IniText text(c.text);
        text.setValue("s", "k", "v");
        EXPECT_EQ(text.text(), c.expected) << c.name;
    }
}

class PosixSettings : public ::testing::Test {
protected:
    PosixSettings() {
        PosixHostOptions options;
        options.applicationFolder = temp.path();
        options.configHome = temp.path("config home");
        host = std::make_unique<PosixHost>(options);
    }
    std::string read(const std::string& key) {
        return host->readSetting("kelkit", "kelkit", key, "default");
    }
    std::string file() { return temp.read("config home/kelmor/kelkit.ini"); }

    TempFolder temp;
    std::unique_ptr<PosixHost> host;
};

TEST_F(PosixSettings, OddValuesRoundTripUnchangedInOneFilePerApplication) {
    const std::vector<std::string> values = {
        "00010", "",         " lead",     "trail ",       "a=b",        ";semi",
        "#hash", "[kelkit]", "tab\there", "\xc3\xbc\xff", "back\\slash"};
    for (std::size_t i = 0; i < values.size(); ++i)
        host->writeSetting("kelkit", "kelkit", "k" + std::to_string(i), values[i]);
    for (std::size_t i = 0; i < values.size(); ++i)
        EXPECT_EQ(read("k" + std::to_string(i)), values[i]);

    host->writeSetting("kelkit", "kelkit", "k0", "3000");
    host->writeSetting("kel1", "kel1", "intro", "0");
    EXPECT_EQ(file().substr(0, 18), "[kelkit]\nk0=3000\nk");
    EXPECT_EQ(temp.read("config home/kelmor/kel1.ini"), "[kel1]\nintro=0\n");
    EXPECT_EQ(host->readSetting("KELKIT", "KelKit", "K0", "20000"), "3000");
    EXPECT_EQ(host->readSetting("kel1", "kel1", "cycles", "20000"), "20000");
}

TEST_F(PosixSettings, ReadsGiveTheDefaultWhenNothingUsableIsStored) {
    EXPECT_EQ(read("cycles"), "default") << "no folder, no file";
    temp.write("config home/kelmor/kelkit.ini",
               "\x01\xff garbage\n[kelkit\ncycles=1\n[kelkit]\nnonsense\n"
               "fullscreen=false\n[other]\noutput=opengl\n" +
                   std::string("\0\n", 2));
    EXPECT_EQ(read("fullscreen"), "false") << "what is valid is used";
    EXPECT_EQ(read("cycles"), "default");
    EXPECT_EQ(read("output"), "default");
    EXPECT_EQ(host->readSetting("kelkit", "other section", "fullscreen", "d"), "d");
    EXPECT_EQ(host->readSetting("../kelmor/kelkit", "kelkit", "fullscreen", "d"), "d");
    temp.makeFolder("config home/kelmor/kel1.ini");  // unreadable, even for root
    EXPECT_EQ(host->readSetting("kel1", "kel1", "intro", "1"), "1");
}

TEST_F(PosixSettings, AWriteKeepsEveryOtherLineAndTheFileFoundWithoutRegardToCase) {
    temp.write("config home/kelmor/KelKit.ini",
               "; by hand\r\n[other]\r\ncycles=x\r\n\r\n[kelkit]\r\n# "
               "note\r\ncycles=1\r\njunk\r\noutput=opengl\r\n");
    host->writeSetting("kelkit", "kelkit", "cycles", "20000");
    host->writeSetting("kelkit", "kelkit", "predvolba", "3");
    EXPECT_EQ(temp.names("config home/kelmor"),
              (std::vector<std::string>{".settings.lock", "KelKit.ini"}));
    EXPECT_EQ(
        temp.read("config home/kelmor/KelKit.ini"),
        "; by hand\r\n[other]\r\ncycles=x\r\n\r\n[kelkit]\r\n# note\r\ncycles=20000\r\njunk\r\n"
        "output=opengl\r\npredvolba=3\r\n");
}

TEST_F(PosixSettings, WritesThatWouldCorruptTheFileAreRefused) {
    host->writeSetting("kelkit", "kelkit", "cycles", "20000");
    struct Case {
        std::string application, section, key, value;
    };
    const std::vector<Case> cases = {
        {"kelkit", "kelkit", "cycles", "1\r\n[x]"},
        {"kelkit", "kelkit", "cycles", "1\n"},
        {"kelkit", "kelkit", "cycles", "1\r"},
        {"kelkit", "kelkit", "cy\ncles", "1"},
        {"kelkit", "kel\rkit", "cycles", "1"},
        {"kelkit", "kelkit", "a=b", "1"},
        {"kelkit", "kelkit", "[kelkit]", "1"},
        {"kelkit", "kelkit", ";x", "1"},
        {"kelkit", "kelkit", " ", "1"},
        {"kelkit", "", "cycles", "1"},
        {"", "kelkit", "cycles", "1"},
        {"../kelkit", "kelkit", "cycles", "1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.application + "/" + c.section + "/" + c.key + "/" + c.value);
        try {
            host->writeSetting(c.application, c.section, c.key, c.value);
            ADD_FAILURE() << "accepted";
        } catch (const std::system_error& failure) {
            EXPECT_EQ(failure.code(), std::errc::invalid_argument);
        }
    }
    EXPECT_EQ(file(), "[kelkit]\ncycles=20000\n");
    EXPECT_EQ(temp.names("config home/kelmor"),
              (std::vector<std::string>{".settings.lock", "kelkit.ini"}));
}

TEST_F(PosixSettings, AFileThatCannotBeReadIsNotOverwritten) {
    temp.write("config home/kelmor/kelkit.ini/inside", "kept");
    EXPECT_THROW(host->writeSetting("kelkit", "kelkit", "cycles", "1"), std::system_error);
    EXPECT_EQ(temp.read("config home/kelmor/kelkit.ini/inside"), "kept");
    EXPECT_EQ(temp.names("config home/kelmor"),
              (std::vector<std::string>{".settings.lock", "kelkit.ini"}));
}

// Two programs writing other keys at once: every write stays.
TEST_F(PosixSettings, ConcurrentWritesOfOtherKeysAllStay) {
    constexpr int kWrites = 100;
    std::vector<pid_t> writers;
    for (const char* prefix : {"a", "b"}) {
        const pid_t child = fork();
        if (child == 0) {
            for (int i = 0; i < kWrites; ++i)
                host->writeSetting("kelkit", "kelkit", prefix + std::to_string(i),
                                   std::to_string(i));
            _exit(0);
        }
        writers.push_back(child);
    }
    for (const pid_t writer : writers) {
        int status = -1;
        ASSERT_EQ(waitpid(writer, &status, 0), writer);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    int kept = 0;
    for (const char* prefix : {"a", "b"})
        for (int i = 0; i < kWrites; ++i)
            kept += read(prefix + std::to_string(i)) == std::to_string(i);
    EXPECT_EQ(kept, 2 * kWrites);
}

}  // namespace
}  // namespace kelmor::posix
