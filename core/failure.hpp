// SPDX-License-Identifier: GPL-3.0-or-later
// The "statement by statement" failure policy: a unit of work whose host
// operation fails is abandoned silently and the caller goes on with the next.
// And what a host failure says: whose it is (a copy's source or its
// destination), no file there, a full disk.
#pragma once

#include <cerrno>
#include <optional>
#include <system_error>
#include <utility>

namespace kelmor {

// Runs one unit of work; the host failure (std::system_error) that stopped
// it, or nothing when it did not fail. Anything else goes on up.
template <class Unit>
std::optional<std::system_error> failureOf(Unit&& unit) {
    try {
        std::forward<Unit>(unit)();
        return std::nullopt;
    } catch (const std::system_error& failure) {
        return failure;
    }
}

// Runs one droppable unit of work; true when it did not fail. Only host
// failures (std::system_error) are dropped; anything else, including the
// end of the process, goes on up.
template <class Unit>
bool dropFailure(Unit&& unit) {
    return !failureOf(std::forward<Unit>(unit));
}

// The host failure of what an operation reads, where it writes something
// else too (a copy's source): the file, its folder or its drive did not
// give it. A failure to write stays a plain std::system_error.
class SourceFailure : public std::system_error {
public:
    explicit SourceFailure(const std::system_error& failure) : std::system_error(failure) {}
};

// What `read` gives; a host failure in it is thrown as a SourceFailure.
template <class Read>
decltype(auto) readingSource(Read&& read) {
    try {
        return std::forward<Read>(read)();
    } catch (const SourceFailure&) {
        throw;
    } catch (const std::system_error& failure) {
        throw SourceFailure(failure);
    }
}

// Whether a host error says that no file is at a path: nothing there (on
// Windows also a folder of the path missing), a file where a folder of the
// path would be, or a folder in the file's place.
inline bool namesNoFile(const std::error_code& error) {
    return error == std::errc::no_such_file_or_directory || error == std::errc::not_a_directory ||
           error == std::errc::is_a_directory;
}

// Whether a host error says that the disk written to is full, or the
// user's share of it (a quota).
inline bool meansDiskFull(const std::error_code& error) {
#ifdef EDQUOT
    if (error == std::error_condition(EDQUOT, std::generic_category())) return true;
#endif
    return error == std::errc::no_space_on_device;
}

}  // namespace kelmor
