// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/win32/win32_window_geometry.hpp"

#include "core/win32/win32_handle.hpp"
#include "core/win32/win32_text.hpp"

namespace kelmor::win32 {
namespace {

constexpr int kUsualDotsPerInch = 96;

}  // namespace

DisplayScale displayScale() {
    const ScreenContext screen(GetDC(nullptr));
    int across = GetDeviceCaps(screen.get(), LOGPIXELSX);
    int down = GetDeviceCaps(screen.get(), LOGPIXELSY);
    if (across <= 0) across = kUsualDotsPerInch;
    if (down <= 0) down = kUsualDotsPerInch;
    return {static_cast<float>(kTwipsPerInch) / static_cast<float>(across),
            static_cast<float>(kTwipsPerInch) / static_cast<float>(down), across, down};
}

void centreOnScreen(HWND window, const DisplayScale& scale) {
    RECT outer{};
    GetWindowRect(window, &outer);
    const TwipSize screen{static_cast<float>(GetSystemMetrics(SM_CXSCREEN)) * scale.twipsPerPixelX,
                          static_cast<float>(GetSystemMetrics(SM_CYSCREEN)) * scale.twipsPerPixelY};
    const TwipSize size{static_cast<float>(outer.right - outer.left) * scale.twipsPerPixelX,
                        static_cast<float>(outer.bottom - outer.top) * scale.twipsPerPixelY};
    const TwipPosition at = centredPosition(screen, size);
    SetWindowPos(window, nullptr,
                 static_cast<int>(static_cast<float>(at.left) / scale.twipsPerPixelX),
                 static_cast<int>(static_cast<float>(at.top) / scale.twipsPerPixelY), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

HFONT createFont(const FontSpec& font, const DisplayScale& scale) {
    return CreateFontW(-MulDiv(font.hundredthsOfPoint, scale.dotsPerInchY, 7200), 0, 0, 0,
                       font.bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                       static_cast<BYTE>(font.characterSet), OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                       displayText(font.face).c_str());
}

}  // namespace kelmor::win32
