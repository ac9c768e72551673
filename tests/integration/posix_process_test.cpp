// SPDX-License-Identifier: GPL-3.0-or-later
// Program start, command line, message lines and process end.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "core/posix/posix_host.hpp"
#include "tests/support/temp_folder.hpp"

namespace kelmor::posix {
namespace {

using test::TempFolder;

// A stand-in program that records, one per line: its working folder, its
// argv[0], whether it leads its own session, where its input comes from,
// then each argument. The record appears at once, complete.
std::string recorder(const std::string& record) {
    return "#!/bin/sh\n"
           "{\n"
           "  pwd\n"
           "  printf '%s\\n' \"$0\"\n"
           "  if [ \"$(cut -d' ' -f6 /proc/$$/stat)\" = \"$$\" ]; then echo leader; else echo "
           "member; fi\n"
           "  readlink /proc/$$/fd/0\n"
           "  for argument in \"$@\"; do printf '<%s>\\n' \"$argument\"; done\n"
           "} > '" +
           record + ".part' && mv '" + record + ".part' '" + record + "'\n";
}

class PosixProcess : public ::testing::Test {
protected:
    void SetUp() override {
        temp.makeFolder("app folder with blanks");
        PosixHostOptions options;
        options.applicationFolder = temp.path("app folder with blanks");
        options.configHome = temp.path("config");
        options.arguments = {"mapper"};
        host = std::make_unique<PosixHost>(options);
        app = host->applicationFolder();
    }

    void installRecorder(const std::string& name) {
        const std::string path = temp.write("app folder with blanks/" + name, recorder(record()));
        chmod(path.c_str(), 0755);
    }

    std::string record() const { return temp.path("record.txt"); }

    // The record, once the started program has written it (empty after 10 s).
    std::string awaitRecord() const {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (std::chrono::steady_clock::now() < deadline) {
            if (temp.exists("record.txt")) return temp.read("record.txt");
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return {};
    }

    // Starts a program from another working folder, as a desktop would.
    void startFromElsewhere(const std::string& program, const std::vector<std::string>& arguments) {
        const auto before = std::filesystem::current_path();
        std::filesystem::current_path("/");
        try {
            host->startProgram(program, arguments);
        } catch (...) {
            std::filesystem::current_path(before);
            throw;
        }
        std::filesystem::current_path(before);
    }

    TempFolder temp;
    std::unique_ptr<PosixHost> host;
    std::string app;
};

TEST_F(PosixProcess, StartsWithAnArgvInTheApplicationFolderInItsOwnSession) {
    installRecorder("dosbox.exe");
    startFromElsewhere(app + "\\DOSBOX.EXE", {"-noconsole", "two words", "", "$HOME;*", "'\""});
    const std::string folder = temp.path("app folder with blanks");
    EXPECT_EQ(awaitRecord(), folder + "\n" + folder +
                                 "/dosbox.exe\nleader\n/dev/null\n"
                                 "<-noconsole>\n<two words>\n<>\n<$HOME;*>\n<'\">\n");
}

TEST_F(PosixProcess, NameDotExeFallsBackToTheProgramWithoutExtension) {
    struct Case {
        std::vector<std::string> installed;
        std::string started, expectedProgram;
    };
    const std::vector<Case> cases = {
        {{"_KelmorPlix"}, "\\_KelmorPlix.exe", "_KelmorPlix"},
        {{"_kelmorplix"}, "\\_KELMORPLIX.EXE", "_kelmorplix"},
        {{"mapper.exe"}, "\\MAPPER.EXE", "mapper.exe"},
        {{"tool.exe", "tool"}, "\\tool.exe", "tool.exe"},
        {{"_Mapper"}, "\\_Mapper", "_Mapper"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.started);
        for (const auto& name : temp.names("app folder with blanks")) {
            std::filesystem::remove(temp.path("app folder with blanks/" + name));
        }
        std::filesystem::remove(record());
        for (const auto& name : c.installed) installRecorder(name);
        SetUp();  // each case is a run of its own, which reads the folder afresh
        host->startProgram(app + c.started, {"mapper"});
        const std::string expected = temp.path("app folder with blanks/" + c.expectedProgram);
        EXPECT_NE(awaitRecord().find("\n" + expected + "\n"), std::string::npos);
    }
}

// The failure names the file as Linux knows it, the program without ".exe".
TEST_F(PosixProcess, AProgramThatCannotRunIsAnError) {
    temp.write("app folder with blanks/plain.exe", "#!/bin/sh\n");  // no execute permission
    temp.makeFolder("app folder with blanks/folder.exe");
    const std::string folder = temp.path("app folder with blanks");
    struct Case {
        std::string program;
        int error;
        std::string named;
    };
    const std::vector<Case> cases = {
        {app + "\\missing.exe", ENOENT, folder + "/missing"},
        {app + "\\missing", ENOENT, folder + "/missing"},
        {app + "\\folder.exe", ENOENT, folder + "/folder"},
        {"Q:\\dosbox.exe", ENOENT, "Q:\\dosbox"},
        {"dosbox.exe", ENOENT, "dosbox"},
        {app + "\\plain.exe", EACCES, folder + "/plain.exe"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.program);
        try {
            host->startProgram(c.program, {});
            ADD_FAILURE() << "started";
        } catch (const std::system_error& failure) {
            EXPECT_EQ(failure.code().value(), c.error);
            EXPECT_EQ(std::string(failure.what()), c.named + ": " + failure.code().message());
        }
    }
}

TEST(PosixCommandLine, JoinsTheArgumentsWithSingleBlanks) {
    struct Case {
        std::vector<std::string> arguments;
        std::string expected;
    };
    for (const Case& c : std::vector<Case>{
             {{}, ""}, {{"mapper"}, "mapper"}, {{"a", "b c"}, "a b c"}, {{"", "x"}, " x"}}) {
        PosixHostOptions options;
        options.applicationFolder = "/";
        options.arguments = c.arguments;
        EXPECT_EQ(PosixHost(options).commandLine(), c.expected);
    }
}

TEST(PosixMessageBox, WritesOneLineToStderrAndCallsThePresenter) {
    PosixHostOptions options;
    options.applicationFolder = "/";
    PosixHost host(options);
    std::vector<std::string> shown;
    testing::internal::CaptureStderr();
    host.messageBox("No CD.\r\nInsert it.", MessageStyle::Warning, "KELMOR");
    host.setMessagePresenter(
        [&](const std::string& text, MessageStyle style, const std::string& title) {
            shown.push_back(title + "|" + text + "|" + std::to_string(static_cast<int>(style)));
        });
    host.messageBox("Plain", MessageStyle::Plain, "Title");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "KELMOR: No CD. Insert it.\nTitle: Plain\n");
    EXPECT_EQ(shown, std::vector<std::string>{"Title|Plain|0"});
}

TEST(PosixEndProcess, FlushesOutputAndEndsWithTheCode) {
    int channel[2];
    ASSERT_EQ(pipe(channel), 0);
    const pid_t child = fork();
    if (child == 0) {
        dup2(channel[1], STDOUT_FILENO);
        close(channel[0]);
        PosixHostOptions options;
        options.applicationFolder = "/";
        PosixHost host(options);
        std::printf("pending");
        host.endProcess(7);
    }
    close(channel[1]);
    std::string output;
    char buffer[64];
    ssize_t got = 0;
    while ((got = read(channel[0], buffer, sizeof buffer)) > 0) output.append(buffer, got);
    close(channel[0]);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 7);
    EXPECT_EQ(output, "pending");
}

}  // namespace
}  // namespace kelmor::posix
