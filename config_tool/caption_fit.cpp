// SPDX-License-Identifier: GPL-3.0-or-later
#include "config_tool/caption_fit.hpp"

#include <algorithm>

namespace kelmor {
namespace {

using Controls = std::vector<FittedControl>;

const FittedControl& at(const Controls& controls, int index) {
    return controls[static_cast<std::size_t>(index)];
}

int rightOf(const FittedControl& control) { return control.left + control.width; }

int rightmost(const Controls& controls) {
    int right = 0;
    for (const FittedControl& control : controls) right = std::max(right, rightOf(control));
    return right;
}

bool sameRows(const FittedControl& a, const FittedControl& b) {
    return a.top < b.top + b.height && b.top < a.top + a.height;
}

// Whether control `inner` lies in `frame`, directly or in a frame within it.
bool liesIn(const Controls& controls, int inner, int frame) {
    for (int outer = at(controls, inner).container; outer >= 0;
         outer = at(controls, outer).container)
        if (outer == frame) return true;
    return false;
}

// Whether `other` moves along when `grown` widens: it, or a frame it lies
// in, starts to the right of `grown` on the same rows. `grown`'s own frames
// and what lies in `grown` stay.
bool movesAlong(const Controls& controls, int grown, int other) {
    if (other == grown || liesIn(controls, other, grown)) return false;
    for (int mover = other; mover >= 0; mover = at(controls, mover).container) {
        if (liesIn(controls, grown, mover)) return false;
        const FittedControl& moving = at(controls, mover);
        if (moving.left > at(controls, grown).left && sameRows(moving, at(controls, grown)))
            return true;
    }
    return false;
}

void widen(Controls& controls, int grown, int by) {
    const int frame = at(controls, grown).container;
    const int roomInFrame =
        frame < 0 ? 0 : std::max(rightOf(at(controls, frame)) - rightOf(at(controls, grown)), 0);
    for (int other = 0; other < static_cast<int>(controls.size()); ++other)
        if (movesAlong(controls, grown, other))
            controls[static_cast<std::size_t>(other)].left += by;
    controls[static_cast<std::size_t>(grown)].width += by;
    if (frame < 0) return;
    const int missing = rightOf(at(controls, grown)) + roomInFrame - rightOf(at(controls, frame));
    if (missing > 0) widen(controls, frame, missing);
}

}  // namespace

int fitCaptions(std::vector<FittedControl>& controls, int clientWidth) {
    const int margin = std::max(clientWidth - rightmost(controls), 0);
    for (int index = 0; index < static_cast<int>(controls.size()); ++index) {
        const int missing = at(controls, index).neededWidth - at(controls, index).width;
        if (missing > 0) widen(controls, index, missing);
    }
    return std::max(clientWidth, rightmost(controls) + margin);
}

}  // namespace kelmor
