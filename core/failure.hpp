// The "statement by statement" failure policy: a unit of work whose host
// operation fails is abandoned silently and the caller goes on with the next.
#pragma once

#include <system_error>
#include <utility>

namespace kelmor {

// Runs one droppable unit of work. Only host failures (std::system_error)
// are dropped; anything else, including the end of the process, goes on up.
template <class Unit>
void dropFailure(Unit&& unit) {
    try {
        std::forward<Unit>(unit)();
    } catch (const std::system_error&) {
    }
}

}  // namespace kelmor
