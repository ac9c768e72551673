// SPDX-License-Identifier: GPL-3.0-or-later
// The package's programs serve each user's own application folder: its
// layout file, and the folder laid out beside what a `make install` or the
// user put there.
#include "core/posix_files/posix_package_folder.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/temp_folder.hpp"

namespace kelmor::posix_files {
namespace {

namespace fs = std::filesystem;

TEST(PackageLayout, ReadsItsFactsAndRefusesNamesThatLeaveTheFolder) {
    const auto layout = packageLayoutOf(
        "# comment\nhome .local/share/kelmor\nfolder SAVEGAME\nfolder CAKE/MAP_101\n\nlink "
        "KELMOR\n");
    ASSERT_TRUE(layout);
    EXPECT_EQ(layout->home, ".local/share/kelmor");
    EXPECT_EQ(layout->folders, (std::vector<std::string>{"SAVEGAME", "CAKE/MAP_101"}));
    EXPECT_EQ(layout->links, std::vector<std::string>{"KELMOR"});
    for (const char* text : {"", "folder SAVEGAME\n", "home \n", "home /etc\n", "home a/../..\n",
                             "home k\nfolder ../x\n", "home k\nlink a/b\n", "home k\nlink\n",
                             "home k\nremove SAVEGAME\n", "home k\nfolder a//b\n"})
        EXPECT_FALSE(packageLayoutOf(text)) << text;
}

TEST(PackageFolder, AProgramOutsideThePackageServesItsOwnFolder) {
    test::TempFolder temp;
    const std::string program = temp.makeFolder("kelmor");
    EXPECT_EQ(applicationFolderFor(program, temp.path("home")), program);
    EXPECT_FALSE(fs::exists(temp.path("home")));
}

// What stands in the user's folder before the first start, and what must
// stand there after it: a link's target, or "" for the file as it was.
struct FolderCase {
    const char* name;
    std::vector<std::pair<std::string, std::string>> before;  // name, link target or file text
    std::vector<std::pair<std::string, std::string>> after;
};

TEST(PackageFolder, LaysOutTheUsersFolderAndKeepsWhatStandsThere) {
    const std::string pkgMark = "<package>/";
    const std::vector<FolderCase> cases = {
        {"a first start",
         {},
         {{"KELMOR", pkgMark + "KELMOR"},
          {"dosbox", pkgMark + "dosbox"},
          {"TEST.FUJ", pkgMark + "TEST.FUJ"}}},
        {"a make install's files",
         {{"KELMOR", "file:program"}, {"TEST.FUJ", "file:KELPLIX"}},
         {{"KELMOR", "file:program"},
          {"TEST.FUJ", "file:KELPLIX"},
          {"dosbox", pkgMark + "dosbox"}}},
        {"the user's own links and an earlier start's",
         {{"dosbox", "/usr/bin/dosbox-x"}, {"KELMOR", pkgMark + "KELMOR"}},
         {{"dosbox", "/usr/bin/dosbox-x"}, {"KELMOR", pkgMark + "KELMOR"}}},
    };
    for (const FolderCase& c : cases) {
        test::TempFolder temp;
        const std::string package = temp.makeFolder("usr/lib/kelmor-kit");
        for (const std::string file : {"KELMOR", "dosbox", "TEST.FUJ"})
            temp.write("usr/lib/kelmor-kit/" + file, file);
        temp.write("usr/lib/kelmor-kit/kelmor-package-layout",
                   "home .local/share/kelmor\nfolder SAVEGAME\nfolder CAKE\nfolder CAKE/MAP_101\n"
                   "link KELMOR\nlink _Mapper\nlink dosbox\nlink TEST.FUJ\n");
        const std::string folder = temp.path("home/.local/share/kelmor");
        const auto place = [&](const std::string& value) {
            return value.rfind(pkgMark, 0) == 0 ? package + "/" + value.substr(pkgMark.size())
                                                : value;
        };
        for (const auto& [name, value] : c.before) {
            fs::create_directories(folder);
            if (value.rfind("file:", 0) == 0)
                temp.write("home/.local/share/kelmor/" + name, value.substr(5));
            else
                fs::create_symlink(place(value), folder + "/" + name);
        }
        EXPECT_EQ(applicationFolderFor(package, temp.path("home")), folder) << c.name;
        for (const char* made : {"SAVEGAME", "CAKE/MAP_101"})
            EXPECT_TRUE(fs::is_directory(folder + "/" + made)) << c.name << ": " << made;
        EXPECT_FALSE(fs::exists(fs::symlink_status(folder + "/_Mapper"))) << c.name << ": no link";
        for (const auto& [name, value] : c.after) {
            const std::string path = folder + "/" + name;
            if (value.rfind("file:", 0) == 0) {
                EXPECT_FALSE(fs::is_symlink(path)) << c.name << ": " << name;
                EXPECT_EQ(temp.read("home/.local/share/kelmor/" + name), value.substr(5)) << c.name;
            } else {
                EXPECT_EQ(fs::read_symlink(path).string(), place(value)) << c.name << ": " << name;
            }
        }
        EXPECT_EQ(temp.names("usr/lib/kelmor-kit").size(), 4u)
            << c.name << ": written in the package";
    }
}

}  // namespace
}  // namespace kelmor::posix_files
