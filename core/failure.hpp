// The "statement by statement" failure policy: a unit of work whose host
// operation fails is abandoned silently and the caller goes on with the next.
#pragma once

#include <system_error>
#include <utility>

namespace kelmor {

// Runs one droppable unit of work; true when it did not fail. Only host
// failures (std::system_error) are dropped; anything else, including the
// end of the process, goes on up.
template <class Unit>
bool dropFailure(Unit&& unit) {
    try {
        std::forward<Unit>(unit)();
        return true;
    } catch (const std::system_error&) {
        return false;
    }
}

}  // namespace kelmor
