// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/win32/win32_launcher_window.hpp"

#include <string>

#include "core/unhandled_error.hpp"
#include "core/win32/win32_handle.hpp"
#include "core/win32/win32_host.hpp"
#include "core/win32/win32_picture.hpp"
#include "core/win32/win32_text.hpp"
#include "core/win32/win32_window_geometry.hpp"

namespace kelmor::win32 {
namespace {

constexpr UINT_PTR kTimerId = 1;

struct WindowState {
    const WindowSpec* spec;
    const LauncherLook* look;
    std::function<void()> tick;
    HBITMAP background = nullptr;
    HICON picture = nullptr;
    bool ran = false;
};

RECT pixelRect(const ControlSpec& control) {
    return {twipsToPixels(control.left), twipsToPixels(control.top),
            twipsToPixels(control.left + control.width),
            twipsToPixels(control.top + control.height)};
}

void paint(HWND window, const WindowState& state) {
    PAINTSTRUCT paint{};
    const HDC dc = BeginPaint(window, &paint);
    if (state.background != nullptr) {
        // Unscaled from the top-left corner; what lies outside the client area is cut off.
        const MemoryContext picture(CreateCompatibleDC(dc));
        const HGDIOBJ before = SelectObject(picture.get(), state.background);
        BitBlt(dc, 0, 0, twipsToPixels(state.spec->clientWidthTwips),
               twipsToPixels(state.spec->clientHeightTwips), picture.get(), 0, 0, SRCCOPY);
        SelectObject(picture.get(), before);
    }
    if (state.picture != nullptr) {
        const RECT at = pixelRect(*state.look->picture);
        DrawIconEx(dc, at.left, at.top, state.picture, at.right - at.left, at.bottom - at.top, 0,
                   nullptr, DI_NORMAL);
    }
    EndPaint(window, &paint);
}

// The first tick runs the sequence; nothing unwinds through the system's
// window procedure, so whatever escapes the sequence ends the process here.
void onTimer(HWND window, WindowState& state) {
    if (state.spec->tickStopsTimer) KillTimer(window, kTimerId);
    if (state.ran) return;
    state.ran = true;
    try {
        state.tick();
    } catch (...) {
        ExitProcess(kUnhandledErrorExitCode);
    }
}

LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* state = reinterpret_cast<WindowState*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    switch (message) {
        case WM_ERASEBKGND:
            if (state != nullptr && state->background != nullptr)
                return 1;  // the picture covers it
            break;
        case WM_PAINT:
            if (state != nullptr) {
                paint(window, *state);
                return 0;
            }
            break;
        case WM_TIMER:
            if (state != nullptr && wParam == kTimerId) {
                onTimer(window, *state);
                return 0;
            }
            break;
        case WM_CLOSE: return 0;  // Alt+F4 or the close box: the sequence alone ends the process
        case WM_DESTROY: PostQuitMessage(0); return 0;
        default: break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void addLabel(HWND window, const ControlSpec& label, const FontSpec* font,
              const DisplayScale& scale) {
    const RECT at = pixelRect(label);
    const HWND control = CreateWindowExW(0, L"STATIC", displayText(label.caption).c_str(),
                                         WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX, at.left,
                                         at.top, at.right - at.left, at.bottom - at.top, window,
                                         nullptr, GetModuleHandleW(nullptr), nullptr);
    if (control != nullptr && font != nullptr)
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(createFont(*font, scale)),
                     FALSE);
}

HWND createWindow(const WindowSpec& spec, const LauncherLook& look, WindowState& state) {
    const std::wstring className = displayText(spec.name);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = windowProcedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor =
        LoadCursorW(nullptr, spec.pointer == WindowPointer::Busy ? IDC_WAIT : IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = className.c_str();
    if (look.icon != nullptr) {
        windowClass.hIcon = loadIcon(look.icon, look.iconSize);
        windowClass.hIconSm = loadIcon(look.icon, GetSystemMetrics(SM_CXSMICON));
    }
    if (RegisterClassExW(&windowClass) == 0) return nullptr;

    const DWORD style = spec.frame == WindowFrame::Borderless
                            ? WS_POPUP
                            : WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;  // no minimise, no maximise
    RECT outer{0, 0, twipsToPixels(spec.clientWidthTwips), twipsToPixels(spec.clientHeightTwips)};
    AdjustWindowRectEx(&outer, style, FALSE, 0);
    return CreateWindowExW(0, className.c_str(), displayText(spec.caption).c_str(), style, 0, 0,
                           outer.right - outer.left, outer.bottom - outer.top, nullptr, nullptr,
                           windowClass.hInstance, &state);
}

}  // namespace

int runLauncherWindow(Win32Host& host, const WindowSpec& spec, const LauncherLook& look,
                      std::function<void()> tick) {
    WindowState state{&spec, &look, std::move(tick)};
    if (look.background != nullptr) state.background = loadPicture(look.background);
    if (look.picture != nullptr && look.icon != nullptr) {
        const RECT at = pixelRect(*look.picture);
        state.picture = loadIcon(look.icon, at.right - at.left);
    }

    const HWND window = createWindow(spec, look, state);
    if (window == nullptr) return kUnhandledErrorExitCode;
    SetTimer(window, kTimerId, static_cast<UINT>(spec.timerMilliseconds), nullptr);
    host.setMessageOwner(window);

    const DisplayScale scale = displayScale();
    if (look.label != nullptr) addLabel(window, *look.label, look.labelFont, scale);
    centreOnScreen(window, scale);
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);

    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}

}  // namespace kelmor::win32
