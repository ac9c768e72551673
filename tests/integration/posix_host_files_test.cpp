// SPDX-License-Identifier: GPL-3.0-or-later
// File probe, copy, delete, read and replace on the real file system.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <functional>
#include <string>
#include <system_error>
#include <vector>

#include "core/posix/posix_host.hpp"
#include "core/posix_files/posix_temporary_files.hpp"
#include "tests/support/child_process.hpp"
#include "tests/support/temp_folder.hpp"

namespace kelmor::posix {
namespace {

using test::failureInChild;
using test::failureOf;
using test::limitFileSize;
using Names = std::vector<std::string>;

class PosixFiles : public ::testing::Test {
protected:
    PosixFiles() {
        temp.makeFolder("app");
        PosixHostOptions options;
        options.applicationFolder = temp.path("app");
        options.configHome = temp.path("config");
        host = std::make_unique<PosixHost>(options);
        app = host->applicationFolder();
    }
    std::string path(const std::string& name) const { return temp.path("app/" + name); }
    std::string text(const std::string& name) const { return temp.read("app/" + name); }
    void write(const std::string& name, const std::string& content) const {
        temp.write("app/" + name, content);
    }
    Names names(const std::string& folder = "") const { return temp.names("app/" + folder); }

    test::TempFolder temp;
    std::unique_ptr<PosixHost> host;
    std::string app;
};

TEST_F(PosixFiles, FileExistIsTrueOnlyForFilesWhoseLengthCanBeRead) {
    write("REG.DAT", "content");
    write("EMPTY.DAT", "");
    write("FOLDER/INNER.DAT", "x");
    std::filesystem::create_symlink("REG.DAT", path("LINK.DAT"));
    std::filesystem::create_symlink("GONE.DAT", path("DANGLING.DAT"));
    std::filesystem::create_symlink("FOLDER", path("FOLDERLINK"));
    struct Case {
        std::string path;
        bool expected;
    };
    const std::vector<Case> cases = {
        {app + "\\REG.DAT", true},
        {app + "\\reg.dat", true},
        {app + "\\EMPTY.DAT", true},
        {app + "\\LINK.DAT", true},
        {app + "\\folderlink\\inner.dat", true},
        {app + "\\\\REG.DAT", true},
        {app + "\\DANGLING.DAT", false},
        {app + "\\FOLDER", false},
        {app + "\\FOLDERLINK", false},
        {app + "\\NONE.DAT", false},
        {app + "\\NONE\\REG.DAT", false},
        {app + "\\REG.DAT\\X", false},
        {"Q:\\REG.DAT", false},
        {"REG.DAT", false},
        {"", false},
        {"C:", false},
    };
    for (const auto& c : cases) EXPECT_EQ(host->fileExist(c.path), c.expected) << c.path;

    // Behind a folder this user may not search: root gives way to nobody.
    write("open/FILE.DAT", "x");
    write("locked/FILE.DAT", "x");
    for (const char* folder : {"", "/app", "/app/open"})
        chmod((temp.path() + folder).c_str(), 0755);
    chmod(path("locked").c_str(), geteuid() == 0 ? 0700 : 0);
    const auto existsForUser = [&](const std::string& name) {
        const auto probe = [&] {
            if (!host->fileExist(app + name))
                throw std::system_error(ENOENT, std::generic_category());
        };
        return failureInChild(probe, true) == 0;
    };
    EXPECT_TRUE(existsForUser("\\open\\FILE.DAT"));
    EXPECT_FALSE(existsForUser("\\locked\\FILE.DAT"));
    EXPECT_FALSE(existsForUser("\\LOCKED\\file.dat"));
}

// A FIFO or a device is never opened for reading: that would wait for a
// writer for good. Probes miss, reads and copies fail at once. A file far
// larger than any the kit reads whole is not read either.
TEST_F(PosixFiles, OnlyRegularFilesAreReadOrCopied) {
    write("OLD.DAT", "old");
    ASSERT_EQ(mkfifo(path("FIFO.DAT").c_str(), 0600), 0);
    temp.makeFolder("config/kelmor");
    ASSERT_EQ(mkfifo(temp.path("config/kelmor/kelkit.ini").c_str(), 0600), 0);
    temp.sparse("app/THEST.FUJ", std::uintmax_t{64} << 30);
    temp.sparse("config/kelmor/kel1.ini", std::uintmax_t{64} << 30);
    const auto failure = [](int number) {
        return std::system_error(number, std::generic_category());
    };
    struct Case {
        const char* name;
        std::function<void()> operation;
        int error;
    };
    const std::vector<Case> cases = {
        {"read a FIFO", [&] { host->readFile(app + "\\fifo.dat"); }, EINVAL},
        {"read a device", [&] { host->readFile("C:\\dev\\null"); }, EINVAL},
        {"copy from a FIFO", [&] { host->copyFile(app + "\\FIFO.DAT", app + "\\OLD.DAT"); },
         EINVAL},
        {"probe a FIFO",
         [&] {
             if (host->fileExist(app + "\\FIFO.DAT")) throw failure(EEXIST);
         },
         0},
        {"settings in a FIFO",
         [&] {
             if (host->readSetting("kelkit", "kelkit", "cycles", "d") != "d") throw failure(EPROTO);
         },
         0},
        {"write settings beside a FIFO",
         [&] { host->writeSetting("kelkit", "kelkit", "cycles", "1"); }, EINVAL},
        {"read a 64 GB file", [&] { host->readFile(app + "\\THEST.FUJ"); }, EFBIG},
        {"settings in a 64 GB file",
         [&] {
             if (host->readSetting("kel1", "kel1", "cycles", "d") != "d") throw failure(EPROTO);
         },
         0},
    };
    alarm(10);
    for (const auto& c : cases) EXPECT_EQ(failureOf(c.operation), c.error) << c.name;
    alarm(0);
    EXPECT_EQ(text("OLD.DAT"), "old");
    EXPECT_EQ(names(), (Names{"FIFO.DAT", "OLD.DAT", "THEST.FUJ"}));
    EXPECT_EQ(std::filesystem::status(temp.path("config/kelmor/kelkit.ini")).type(),
              std::filesystem::file_type::fifo);
}

TEST_F(PosixFiles, CopyReplacesTheDestinationFoundWithoutRegardToCase) {
    write("cd/INTRO.DAT", "new intro");
    write("SAVEGAME/Intro.dat", "old intro, longer than the new one");
    host->copyFile(app + "\\CD\\intro.dat", app + "\\savegame\\INTRO.DAT");
    EXPECT_EQ(text("SAVEGAME/Intro.dat"), "new intro");
    EXPECT_EQ(names("SAVEGAME"), Names{"Intro.dat"});
}

// A host reads a folder once: a name that another program adds later is
// found in its exact spelling only, while what the host writes or deletes
// itself is found in any spelling.
TEST_F(PosixFiles, AFolderIsReadOncePerHostThatKnowsItsOwnChanges) {
    write("cd/INTRO.DAT", "intro");
    write("SAVEGAME/OLD.DAT", "old");
    EXPECT_FALSE(host->fileExist(app + "\\savegame\\intro.dat"));
    host->copyFile(app + "\\cd\\INTRO.DAT", app + "\\SAVEGAME\\INTRO.DAT");
    EXPECT_TRUE(host->fileExist(app + "\\savegame\\intro.dat"));
    host->deleteFile(app + "\\SAVEGAME\\Intro.Dat");
    EXPECT_FALSE(host->fileExist(app + "\\SAVEGAME\\INTRO.DAT"));
    host->replaceFile(app + "\\SAVEGAME\\NEW.DAT", "new");
    EXPECT_EQ(host->readFile(app + "\\savegame\\new.dat"), "new");

    write("SAVEGAME/Later.Dat", "by another program");
    EXPECT_EQ(failureOf([&] { host->readFile(app + "\\SAVEGAME\\LATER.DAT"); }), ENOENT);
    EXPECT_EQ(host->readFile(app + "\\SAVEGAME\\Later.Dat"), "by another program");
    EXPECT_EQ(
        PosixHost({.applicationFolder = temp.path("app")}).readFile(app + "\\SAVEGAME\\LATER.DAT"),
        "by another program")
        << "a new run reads the folder anew";
}

TEST_F(PosixFiles, CopyKeepsEveryByteAndMakesWritableFilesFromReadOnlySources) {
    std::string large(3 * 1024 * 1024 + 17, '\0');
    for (std::size_t i = 0; i < large.size(); ++i) large[i] = static_cast<char>(i * 7 + i / 251);
    write("cd/LARGE.BIN", large);
    write("cd/EMPTY.BIN", "");
    write("EMPTY.BIN", "to be emptied");
    chmod(path("cd/LARGE.BIN").c_str(), 0444);
    const mode_t mask = umask(022);
    host->copyFile(app + "\\cd\\LARGE.BIN", app + "\\LARGE.BIN");
    umask(mask);
    host->copyFile(app + "\\cd\\EMPTY.BIN", app + "\\EMPTY.BIN");
    EXPECT_TRUE(text("LARGE.BIN") == large);
    EXPECT_EQ(text("EMPTY.BIN"), "");
    struct stat status {};
    ASSERT_EQ(stat(path("LARGE.BIN").c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0644u);
}

TEST_F(PosixFiles, CopyOfAProgramStaysAProgramNoMoreReadableThanItsSource) {
    struct Case {
        mode_t source, mask, copy;
    };
    const Case cases[] = {{0555, 022, 0755}, {0700, 022, 0700}, {0755, 077, 0700},
                          {0644, 022, 0644}, {0600, 002, 0600}, {0640, 0, 0660}};
    for (const Case& c : cases) {
        write("cd/MAPPER.EXE", "#!/bin/sh\n");
        chmod(path("cd/MAPPER.EXE").c_str(), c.source);
        const mode_t mask = umask(c.mask);
        host->copyFile(app + "\\cd\\MAPPER.EXE", app + "\\MAPPER.EXE");
        umask(mask);
        struct stat status {};
        ASSERT_EQ(stat(path("MAPPER.EXE").c_str(), &status), 0);
        EXPECT_EQ(status.st_mode & 07777, c.copy) << std::oct << c.source << " " << c.mask;
        std::filesystem::remove(path("MAPPER.EXE"));
    }
}

TEST_F(PosixFiles, AFailedCopyOrReplaceLeavesTheOldFileAndNoTrace) {
    write("OLD.DAT", "old");
    write("cd/FOLDER/x", "");
    write("cd/BIG.BIN", std::string(256 * 1024, 'b'));
    const std::string big(200000, 'x');
    struct Case {
        const char* name;
        std::function<void()> operation;
        int error;
        bool discFull = false;
    };
    const std::vector<Case> cases = {
        {"copy: missing source", [&] { host->copyFile(app + "\\cd\\NONE", app + "\\OLD.DAT"); },
         ENOENT},
        {"copy: missing drive", [&] { host->copyFile("Q:\\NONE", app + "\\OLD.DAT"); }, ENOENT},
        {"copy: source is a folder",
         [&] { host->copyFile(app + "\\cd\\FOLDER", app + "\\OLD.DAT"); }, EISDIR},
        {"copy: no destination folder",
         [&] { host->copyFile(app + "\\OLD.DAT", app + "\\NO\\OLD.DAT"); }, ENOENT},
        {"copy: destination is a folder",
         [&] { host->copyFile(app + "\\OLD.DAT", app + "\\cd\\FOLDER"); }, EISDIR},
        {"copy: disc full midway",
         [&] { host->copyFile(app + "\\cd\\BIG.BIN", app + "\\OLD.DAT"); }, EFBIG, true},
        {"replace: target is a folder", [&] { host->replaceFile(app + "\\cd\\FOLDER", "x"); },
         EISDIR},
        {"replace: no folder", [&] { host->replaceFile(app + "\\NO\\x.conf", "x"); }, ENOENT},
        {"replace: folder is a file", [&] { host->replaceFile(app + "\\OLD.DAT\\x", "x"); },
         ENOTDIR},
        {"replace: disc full midway", [&] { host->replaceFile(app + "\\OLD.DAT", big); }, EFBIG,
         true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto discFull = [] { limitFileSize(64 * 1024); };
        EXPECT_EQ(
            c.discFull ? failureInChild(c.operation, false, discFull) : failureOf(c.operation),
            c.error);
        EXPECT_EQ(text("OLD.DAT"), "old");
        EXPECT_EQ(names(), (Names{"OLD.DAT", "cd"}));
        EXPECT_EQ(names("cd"), (Names{"BIG.BIN", "FOLDER"}));
        EXPECT_EQ(names("cd/FOLDER"), Names{"x"});
    }
}

// Neither a folder the user cannot write nor a read-only file in a folder
// the user can write is changed: Windows refuses both.
TEST_F(PosixFiles, WhatTheUserCannotWriteIsNotReplaced) {
    write("cd/DATA.BIN", "data");
    chmod(temp.path().c_str(), 0755);
    chmod(path("cd").c_str(), 0755);
    chmod(path("cd/DATA.BIN").c_str(), 0644);
    struct Case {
        mode_t folder, file;
    };
    for (const Case c : {Case{0555, 0666}, Case{0777, 0444}, Case{0777, 0555}}) {
        SCOPED_TRACE(std::to_string(c.folder) + " " + std::to_string(c.file));
        write("dosbox.conf", "old");
        chmod(path("dosbox.conf").c_str(), c.file);
        chmod(temp.path("app").c_str(), c.folder);
        EXPECT_EQ(failureInChild([&] { host->replaceFile(app + "\\dosbox.conf", "new"); }, true),
                  EACCES);
        EXPECT_EQ(failureInChild(
                      [&] { host->copyFile(app + "\\cd\\DATA.BIN", app + "\\dosbox.conf"); }, true),
                  EACCES);
        chmod(temp.path("app").c_str(), 0755);
        EXPECT_EQ(text("dosbox.conf"), "old");
        EXPECT_EQ(names(), (Names{"cd", "dosbox.conf"}));
        std::filesystem::remove(path("dosbox.conf"));
    }
}

TEST_F(PosixFiles, ReplaceWritesTheWholeFileKeepingItsModeAndLinks) {
    host->replaceFile(app + "\\dosbox.conf", "first\r\n");
    host->replaceFile(app + "\\DOSBOX.CONF", "second");
    EXPECT_EQ(text("dosbox.conf"), "second");
    EXPECT_EQ(names(), Names{"dosbox.conf"});

    write("conf/real.conf", "old");
    chmod(path("conf/real.conf").c_str(), 0600);
    std::filesystem::create_symlink("conf/real.conf", path("linked.conf"));
    host->replaceFile(app + "\\linked.conf", "new");
    EXPECT_TRUE(std::filesystem::is_symlink(path("linked.conf")));
    EXPECT_EQ(text("conf/real.conf"), "new");
    struct stat status {};
    ASSERT_EQ(stat(path("conf/real.conf").c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0600u);
}

// SIGTERM, SIGINT and SIGHUP remove a temporary file before they end its
// process (one the user ignores stays ignored); a later write removes those
// of processes killed outright, and nothing else.
TEST_F(PosixFiles, NoTemporaryFileOutlivesItsProcess) {
    struct Case {
        int signal;
        bool ignored;
    };
    for (const Case c :
         {Case{SIGTERM, false}, Case{SIGINT, false}, Case{SIGHUP, false}, Case{SIGHUP, true}}) {
        SCOPED_TRACE(c.signal);
        const std::string temporary = path(posix_files::temporaryFileName());
        const pid_t child = fork();
        if (child == 0) {
            if (c.ignored) signal(c.signal, SIG_IGN);
            close(open(temporary.c_str(), O_CREAT | O_WRONLY, 0600));
            const posix_files::RemovedOnSignal removal(temporary);
            raise(c.signal);
            _exit(0);
        }
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        EXPECT_EQ(WIFSIGNALED(status) && WTERMSIG(status) == c.signal, !c.ignored);
        EXPECT_EQ(std::filesystem::exists(temporary), c.ignored);
        std::filesystem::remove(temporary);
    }

    const pid_t gone = fork();
    if (gone == 0) _exit(0);
    ASSERT_EQ(waitpid(gone, nullptr, 0), gone);
    write(".kelmor-" + std::to_string(gone) + "-3.tmp", "of a killed process");
    write(".kelmor-1-3.tmp", "of a running process");
    write(".kelmor-x-3.tmp", "no process");
    write("notes.tmp", "the user's");
    host->replaceFile(app + "\\dosbox.conf", "new");
    EXPECT_EQ(names(), (Names{".kelmor-1-3.tmp", ".kelmor-x-3.tmp", "dosbox.conf", "notes.tmp"}));
}

TEST_F(PosixFiles, DeleteAndReadWorkOnOneFileAsItIs) {
    const std::string content("line\r\nzero\0byte\xff\r\n", 19);
    write("THEST.FUJ", content);
    write("FOLDER/x", "");
    EXPECT_EQ(host->readFile(app + "\\thest.fuj"), content);
    EXPECT_EQ(failureOf([&] { host->readFile(app + "\\MISSING"); }), ENOENT);
    EXPECT_EQ(failureOf([&] { host->readFile(app); }), EISDIR);

    host->deleteFile(app + "\\Thest.Fuj");
    EXPECT_EQ(names(), Names{"FOLDER"});
    EXPECT_EQ(failureOf([&] { host->deleteFile(app + "\\THEST.FUJ"); }), ENOENT);
    EXPECT_EQ(failureOf([&] { host->deleteFile("Q:\\THEST.FUJ"); }), ENOENT);
    EXPECT_NE(failureOf([&] { host->deleteFile(app + "\\FOLDER"); }), 0);
    EXPECT_EQ(names("FOLDER"), Names{"x"});

    // What was written so far is flushed to the disk of a folder's drive.
    EXPECT_EQ(failureOf([&] { host->flushWrites(app); }), 0);
    EXPECT_EQ(failureOf([&] { host->flushWrites("Q:\\"); }), ENOENT);
}

// What the host wrote is flushed; a file of its own gone since is no
// failure, one that cannot be flushed is, and nothing in its place is waited on.
TEST_F(PosixFiles, FlushTakesTheHostsOwnFilesAsTheyAreNow) {
    write("SOURCE.DAT", "data");
    const auto copy = [&] { host->copyFile(app + "\\SOURCE.DAT", app + "\\COPY.DAT"); };
    struct Case {
        const char* what;
        std::function<void()> since;
        int error;
    };
    const std::vector<Case> cases{
        {"a copy and a replaced file",
         [&] { copy(), host->replaceFile(app + "\\dosbox.conf", "x"); }, 0},
        {"a copy gone since", [&] { copy(), unlink(path("COPY.DAT").c_str()); }, 0},
        {"a FIFO in a copy's place",
         [&] { copy(), unlink(path("COPY.DAT").c_str()), mkfifo(path("COPY.DAT").c_str(), 0600); },
         EINVAL},
    };
    for (const Case& c : cases) {
        const auto flush = [&] { c.since(), host->flushWrites(app); };
        EXPECT_EQ(failureInChild(flush, false, [] { alarm(10); }), c.error) << c.what;
        unlink(path("COPY.DAT").c_str());
    }
}

}  // namespace
}  // namespace kelmor::posix
