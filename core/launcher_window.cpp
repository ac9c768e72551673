// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/launcher_window.hpp"

#include <cmath>
#include <cstdint>
#include <limits>

namespace kelmor {
namespace {

// A single-precision difference to a signed 32-bit integer, rounding halves
// to the even neighbour; out-of-range values saturate.
std::int32_t roundToInt32(float value) {
    const float rounded = std::nearbyint(value);
    if (!(rounded > static_cast<float>(std::numeric_limits<std::int32_t>::min())))
        return std::numeric_limits<std::int32_t>::min();
    if (rounded >= static_cast<float>(std::numeric_limits<std::int32_t>::max()))
        return std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(rounded);
}

int centredOffset(float screen, float window) { return roundToInt32(screen - window) / 2; }

}  // namespace

TwipSize outerSize(const WindowSpec& spec) {
    if (spec.frame == WindowFrame::Borderless)
        return {static_cast<float>(spec.clientWidthTwips),
                static_cast<float>(spec.clientHeightTwips)};
    return {static_cast<float>(spec.clientWidthTwips + pixelsToTwips(2 * kFixedFrameSidePixels)),
            static_cast<float>(spec.clientHeightTwips +
                               pixelsToTwips(kFixedFrameTopPixels + kFixedFrameBottomPixels))};
}

TwipPosition centredPosition(TwipSize screen, TwipSize window) {
    const int top = centredOffset(screen.height, window.height);
    const int left = centredOffset(screen.width, window.width);
    return {left, top};
}

}  // namespace kelmor
