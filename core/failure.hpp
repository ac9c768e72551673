// SPDX-License-Identifier: GPL-3.0-or-later
// The "statement by statement" failure policy: a unit of work whose host
// operation fails is abandoned silently and the caller goes on with the next.
#pragma once

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

}  // namespace kelmor
