// SPDX-License-Identifier: GPL-3.0-or-later
// The names in host folders, each folder read at most once while this
// lives (one run of a program), and what else needs a folder's names takes
// them from here: the disc images beside the programs, and the sweep of the
// temporary files that ended processes left there. A name that misses in its exact spelling is
// looked up without regard to case; without this every such miss reads the
// whole folder again, and the game's 69 CD probes read every drive's folder
// three times.
//
// What this process itself adds or removes through the host is told here,
// so the listings stay true for it; what others change meanwhile is seen
// where the exact spelling is asked for, as that is always looked up anew.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <unordered_map>
#include <vector>

namespace kelmor::linux_drives {

class FolderListings {
public:
    // As matchFolderEntry(): the name itself when such an entry exists, else
    // an entry equal to it without regard to ASCII case (the first in byte
    // order); nothing, with `error` set, when there is none or the folder
    // cannot be read.
    std::optional<std::string> match(const std::string& folder, std::string_view name,
                                     std::error_code& error);

    // Every name in a folder; none, with `error` set, when it cannot be read.
    const std::vector<std::string>& names(const std::string& folder, std::error_code& error);

    // A file this process has created or replaced at a host path.
    void added(const std::string& hostPath);
    // A file this process has removed.
    void removed(const std::string& hostPath);

private:
    struct Listing {
        std::error_code error;  // why the folder could not be read
        std::vector<std::string> names;
        // What each name, in lower case, stood for when it was asked for.
        std::unordered_map<std::string, std::optional<std::string>> answers;
    };
    Listing& listingOf(const std::string& folder);

    std::unordered_map<std::string, Listing> folders_;
};

}  // namespace kelmor::linux_drives
