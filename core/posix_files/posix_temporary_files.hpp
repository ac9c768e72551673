// SPDX-License-Identifier: GPL-3.0-or-later
// Temporary files of this process, named ".kelmor-<pid>-<n>.tmp" beside the
// file they are to become. None outlives the process: SIGTERM, SIGINT and
// SIGHUP remove the ones still open before the signal ends the process, and
// a later process removes those whose process was killed outright.
#pragma once

#include <string>
#include <vector>

namespace kelmor::posix_files {

// A name for a new temporary file of this process.
std::string temporaryFileName();

// While it lives, the file at `path` is removed should SIGTERM, SIGINT or
// SIGHUP end the process. The handlers are set on first use, for each of
// the three signals that has its default action; one this process ignores
// (nohup) or handles otherwise is left as it is.
class RemovedOnSignal {
public:
    explicit RemovedOnSignal(const std::string& path);
    RemovedOnSignal(const RemovedOnSignal&) = delete;
    RemovedOnSignal& operator=(const RemovedOnSignal&) = delete;
    ~RemovedOnSignal();

private:
    int slot_;
};

// True when no process `process` runs (one of another user counts as
// running).
bool processIsGone(long process);

// Removes the temporary files in `folder` that belong to this user and to a
// process that no longer runs. Each folder is looked at once per process;
// nothing is reported.
void removeStaleTemporaryFiles(const std::string& folder);

// The same from the folder's names that the caller has just read, so that
// the folder is not read again.
void removeStaleTemporaryFiles(const std::string& folder, const std::vector<std::string>& names);

}  // namespace kelmor::posix_files
