// SPDX-License-Identifier: GPL-3.0-or-later
// The kit's Debian package: its programs lie in one system folder that no
// user can write, beside its layout file (kPackageLayoutName). A program
// started from there (the menu, or the folder itself) serves the user's
// own application folder instead, laid out at its first start with links
// to the package's programs, so that each user keeps saves, settings and
// installed data of their own and an upgrade of the package reaches every
// folder at its next start.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kelmor::posix_files {

// The file beside the package's programs that makes their folder the package's.
inline constexpr std::string_view kPackageLayoutName = "kelmor-package-layout";

// What the layout file says, one fact a line ("home .local/share/kelmor",
// "folder SAVEGAME", "link KELMOR"); "#" starts a comment line.
struct PackageLayout {
    std::string home;                  // the user's folder, below the home folder
    std::vector<std::string> folders;  // made in it, each after the one holding it
    std::vector<std::string> links;    // linked to the package's file of that name
};

// The layout, or nothing when the text names no folder below the home folder
// or a name that leaves the folder it is made in.
std::optional<PackageLayout> packageLayoutOf(std::string_view text);

// Makes what `layout` names and `folder` lacks: the folder, its folders, and
// a link to each of the package's files that `packageFolder` holds. Whatever
// stands at one of those names (a file of `make install`, a link of the
// user's) stays as it is; a step that fails is left out.
void layOutUserFolder(const PackageLayout& layout, const std::string& packageFolder,
                      const std::string& folder);

// The application folder of a program lying in `programFolder`: that folder,
// or, where it holds the package's layout file, the user's own folder below
// `home`, laid out.
std::string applicationFolderFor(const std::string& programFolder, const std::string& home);

// The application folder of the running program (the real folder of
// /proc/self/exe, else the working folder).
std::string runningApplicationFolder();

}  // namespace kelmor::posix_files
