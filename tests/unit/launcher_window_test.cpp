// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/launcher_window.hpp"

#include <gtest/gtest.h>

namespace kelmor {
namespace {

TEST(CentredPosition, HalvesTheRoundedDifferenceTowardZero) {
    struct Case {
        const char* name;
        TwipSize screen, window;
        TwipPosition expected;
    };
    const Case cases[] = {
        {"game window on 1024 x 768", {15360, 11520}, {4770, 3810}, {5295, 3855}},
        {"kit window on 1024 x 768", {15360, 11520}, {5385, 3495}, {4987, 4012}},
        {"window wider than the screen", {1000, 1000}, {1075, 1000}, {-37, 0}},
        {"odd difference loses its half", {10000, 10000}, {25, 25}, {4987, 4987}},
        {"exact fit", {4770, 3810}, {4770, 3810}, {0, 0}},
        {"half rounds to even (up)", {10.5f, 10.5f}, {0, 0}, {5, 5}},
        {"half rounds to even (down)", {11.5f, 0}, {0, 0}, {6, 0}},
        {"two and a half rounds down to two", {2.5f, 0}, {0, 0}, {1, 0}},
        {"negative half rounds to even", {0, 0}, {2.5f, 3.5f}, {-1, -2}},
    };
    for (const Case& c : cases) {
        const TwipPosition p = centredPosition(c.screen, c.window);
        EXPECT_EQ(p.left, c.expected.left) << c.name;
        EXPECT_EQ(p.top, c.expected.top) << c.name;
    }
}

TEST(CentredPosition, LandsOnTheExpectedPixels) {
    const TwipPosition game = centredPosition({15360, 11520}, outerSize(kGameWindow));
    EXPECT_EQ(twipsToPixels(game.left), 353);
    EXPECT_EQ(twipsToPixels(game.top), 257);
    const TwipPosition kit = centredPosition({15360, 11520}, outerSize(kKitWindow));
    EXPECT_EQ(twipsToPixels(kit.left), 332);
    EXPECT_EQ(twipsToPixels(kit.top), 267);
    // The framed window's outer edge; its client area lies 3 px right, 22 px down.
    const TwipPosition mapper = centredPosition({15360, 11520}, outerSize(kMapperWindow));
    EXPECT_EQ(mapper.left, 5647);
    EXPECT_EQ(mapper.top, 4980);
    EXPECT_EQ(twipsToPixels(mapper.left), 376);
    EXPECT_EQ(twipsToPixels(mapper.top), 332);
}

TEST(OuterSize, FixedFrameAddsBorderAndTitleBar) {
    const TwipSize mapper = outerSize(kMapperWindow);
    EXPECT_EQ(mapper.width, (265 + 6) * 15);
    EXPECT_EQ(mapper.height, (79 + 25) * 15);
    EXPECT_EQ(outerSize(kGameWindow).width, 4770);
}

TEST(TwipsToPixels, FollowsTheDisplaysResolution) {
    // twips, dots per inch, pixels
    const int cases[][3] = {{4905, 96, 327},  {4530, 96, 302}, {4905, 120, 408},
                            {2160, 144, 216}, {14, 96, 0},     {-75, 96, -5}};
    for (const auto& c : cases)
        EXPECT_EQ(twipsToPixels(c[0], c[1]), c[2]) << c[0] << " at " << c[1];
    EXPECT_EQ(twipsToPixels(4905, 96), twipsToPixels(4905));
}

}  // namespace
}  // namespace kelmor
