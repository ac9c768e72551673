// SPDX-License-Identifier: GPL-3.0-or-later
// What the launcher windows look like and where they go on the screen.
// Geometry is kept in twips (1/1440 inch) at 15 twips to the pixel.
#pragma once

#include <string_view>

namespace kelmor {

inline constexpr int kTwipsPerPixel = 15;

enum class WindowFrame { Borderless, FixedSingle };
enum class WindowPointer { Busy, Ordinary };

struct WindowSpec {
    std::string_view name;
    std::string_view caption;
    WindowFrame frame;
    int clientWidthTwips;
    int clientHeightTwips;
    WindowPointer pointer;
    int timerMilliseconds;
    bool tickStopsTimer;  // the sequence ends the process either way
};

inline constexpr WindowSpec kGameWindow{
    "Form1", "Kelmor", WindowFrame::Borderless, 4770, 3810, WindowPointer::Busy, 1000, true};
inline constexpr WindowSpec kKitWindow{
    "frmMain", "Kelmor Plix", WindowFrame::Borderless, 5385, 3495, WindowPointer::Busy, 600, true};
inline constexpr WindowSpec kMapperWindow{"frmMain",
                                          "Kelmor Plix Mapper",
                                          WindowFrame::FixedSingle,
                                          3975,
                                          1185,
                                          WindowPointer::Ordinary,
                                          600,
                                          false};

// A control of a window: its caption or text and where it sits, in twips
// relative to its container.
struct ControlSpec {
    std::string_view name;
    std::string_view caption;
    int left, top, width, height;
    int tabIndex;
};

// The mapper launcher's wait window holds its icon picture and a label.
inline constexpr ControlSpec kMapperImage1{"Image1", "", 120, 120, 960, 960, 0};
inline constexpr ControlSpec kMapperLblStatus{
    "lblStatus", "Opening Mapper... Please wait...", 1200, 480, 2655, 255, 1};

// The font of a label: its face, its size in hundredths of a point, its
// character set (238: Central European) and its weight.
struct FontSpec {
    std::string_view face;
    int hundredthsOfPoint;
    int characterSet;
    bool bold;
};

inline constexpr FontSpec kMapperLblStatusFont{"Tahoma", 825, 238, false};

// The border a fixed single frame adds around the client area, in pixels.
inline constexpr int kFixedFrameSidePixels = 3;
inline constexpr int kFixedFrameBottomPixels = 3;
inline constexpr int kFixedFrameTopPixels = 22;

struct TwipSize {
    float width;
    float height;
};

struct TwipPosition {
    int left;
    int top;
};

// The window's outer size: the client area plus what its frame adds.
TwipSize outerSize(const WindowSpec& spec);

// The top-left corner that centres a window on the screen: each difference
// rounded to a 32-bit integer (halves to even), then halved toward zero.
TwipPosition centredPosition(TwipSize screen, TwipSize window);

// Whole pixels in a twip length, truncated toward zero.
constexpr int twipsToPixels(int twips) { return twips / kTwipsPerPixel; }
constexpr int pixelsToTwips(int pixels) { return pixels * kTwipsPerPixel; }

inline constexpr int kTwipsPerInch = 1440;

// Whole pixels in a twip length on a display of the given resolution,
// truncated toward zero; at 96 dots per inch the same as twipsToPixels.
constexpr int twipsToPixels(int twips, int dotsPerInch) {
    return static_cast<int>(static_cast<long long>(twips) * dotsPerInch / kTwipsPerInch);
}

}  // namespace kelmor
