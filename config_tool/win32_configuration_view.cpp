// SPDX-License-Identifier: GPL-3.0-or-later
#include "config_tool/win32_configuration_view.hpp"

#include <windows.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "config_tool/caption_fit.hpp"
#include "config_tool/configuration_dialog.hpp"
#include "config_tool/configuration_form.hpp"
#include "core/unhandled_error.hpp"
#include "core/win32/win32_error.hpp"
#include "core/win32/win32_handle.hpp"
#include "core/win32/win32_host.hpp"
#include "core/win32/win32_picture.hpp"
#include "core/win32/win32_text.hpp"
#include "core/win32/win32_window_geometry.hpp"

namespace kelmor::win32 {
namespace {

// cmdOk and cmdCancel are the dialog's own OK and Cancel buttons, which
// Enter and Escape press.
constexpr int kCyclesId = 100;
constexpr int kFirstOptionId = 101;  // opt1; opt5 is kFirstOptionId + 4
constexpr int kIntroId = 106;
constexpr int kLabelId = 200;
constexpr int kFrameId = 201;
constexpr int kAboutId = 202;

// A fixed single border with a title bar and a close box, and no minimise
// or maximise button.
constexpr DWORD kDialogStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU;

// What room across a control's caption needs in the dialog's font: its
// line; its lines within the control's height; its line beside a radio
// button's or check box's box; within a push button's edges; as a frame's
// caption.
enum class CaptionRoom { None, Line, Lines, BesideBox, InButton, OnFrame };

// How each control of the form is made on Win32.
struct ControlLook {
    const ControlSpec* spec;
    const ControlSpec* container;  // the frame it sits in, or none
    const wchar_t* windowClass;
    DWORD style;
    DWORD extendedStyle;
    int id;
    CaptionRoom room;
};

// WS_GROUP opens a group that the arrow keys walk; the next WS_GROUP closes
// it. opt1 holds the option group's tab stop until an option is selected:
// from then on the selected option holds it, as in every Windows dialog.
std::vector<ControlLook> controlLooks(const ConfigurationForm& form) {
    using enum CaptionRoom;
    std::vector<ControlLook> looks{
        {&form.txtCycles, nullptr, L"EDIT", WS_GROUP | WS_TABSTOP | ES_AUTOHSCROLL,
         WS_EX_CLIENTEDGE, kCyclesId, None},
        {&form.options[0], nullptr, L"BUTTON", WS_GROUP | WS_TABSTOP | BS_AUTORADIOBUTTON, 0,
         kFirstOptionId, BesideBox},
        {&form.options[1], nullptr, L"BUTTON", BS_AUTORADIOBUTTON, 0, kFirstOptionId + 1,
         BesideBox},
        {&form.options[2], nullptr, L"BUTTON", BS_AUTORADIOBUTTON, 0, kFirstOptionId + 2,
         BesideBox},
        {&form.options[3], nullptr, L"BUTTON", BS_AUTORADIOBUTTON, 0, kFirstOptionId + 3,
         BesideBox},
        {&form.options[4], nullptr, L"BUTTON", BS_AUTORADIOBUTTON, 0, kFirstOptionId + 4,
         BesideBox},
        {&form.lblPopis, nullptr, L"STATIC", WS_GROUP | SS_LEFT | SS_NOPREFIX, 0, kLabelId, Line},
        {&form.cmdOk, nullptr, L"BUTTON", WS_GROUP | WS_TABSTOP | BS_DEFPUSHBUTTON, 0, IDOK,
         InButton},
        {&form.cmdCancel, nullptr, L"BUTTON", WS_TABSTOP | BS_PUSHBUTTON, 0, IDCANCEL, InButton},
        {&form.frame1, nullptr, L"BUTTON", WS_GROUP | BS_GROUPBOX, 0, kFrameId, OnFrame},
        {&form.lblAbout, &form.frame1, L"STATIC", SS_LEFT | SS_NOPREFIX, 0, kAboutId, Lines},
    };
    if (form.chkIntro)
        looks.push_back({&*form.chkIntro, nullptr, L"BUTTON",
                         WS_GROUP | WS_TABSTOP | BS_AUTOCHECKBOX, 0, kIntroId, BesideBox});
    return looks;
}

// The window's controls as the dialog's logic sees them.
class Controls : public DialogControls {
public:
    HWND window = nullptr;
    DisplayScale scale{};

    void centreWindow() override { centreOnScreen(window, scale); }
    std::string cyclesText() const override {
        const HWND box = GetDlgItem(window, kCyclesId);
        std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(box)) + 1, L'\0');
        text.resize(static_cast<std::size_t>(
            GetWindowTextW(box, text.data(), static_cast<int>(text.size()))));
        return utf8(text);
    }
    void setCyclesText(const std::string& text) override {
        SetDlgItemTextW(window, kCyclesId, displayText(text).c_str());
    }
    // Through the dialog manager, which also keeps cmdOk the default button.
    void focusCycles() override {
        SendMessageW(window, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(window, kCyclesId)),
                     TRUE);
    }
    bool optionSelected(int number) const override {
        return IsDlgButtonChecked(window, kFirstOptionId + number - 1) == BST_CHECKED;
    }
    void selectOption(int number) override {
        CheckRadioButton(window, kFirstOptionId, kFirstOptionId + 4, kFirstOptionId + number - 1);
    }
    bool introChecked() const override {
        return IsDlgButtonChecked(window, kIntroId) == BST_CHECKED;
    }
    void setIntroChecked(bool checked) override {
        CheckDlgButton(window, kIntroId, checked ? BST_CHECKED : BST_UNCHECKED);
    }
};

int pixelsAcross(int twips, const DisplayScale& scale) {
    return twipsToPixels(twips, scale.dotsPerInchX);
}
int pixelsDown(int twips, const DisplayScale& scale) {
    return twipsToPixels(twips, scale.dotsPerInchY);
}

// A control as made, with its look.
struct MadeControl {
    HWND handle;
    const ControlLook* look;
};

// The screen's device context with the dialog's font, for measuring.
class MeasuringContext {
public:
    explicit MeasuringContext(HFONT font)
        : context_(GetDC(nullptr)), previous_(SelectObject(context_.get(), font)) {}
    MeasuringContext(const MeasuringContext&) = delete;
    MeasuringContext& operator=(const MeasuringContext&) = delete;
    ~MeasuringContext() { SelectObject(context_.get(), previous_); }

    int lineWidth(const std::wstring& text) const {
        SIZE extent{};
        GetTextExtentPoint32W(context_.get(), text.c_str(), static_cast<int>(text.size()), &extent);
        return extent.cx;
    }

    // The height of the text broken into lines as a static control breaks
    // it at that width.
    int linesHeight(const std::wstring& text, int width) const {
        RECT room{0, 0, width, 0};
        DrawTextW(context_.get(), text.c_str(), static_cast<int>(text.size()), &room,
                  DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
        return room.bottom;
    }

private:
    ScreenContext context_;
    HGDIOBJ previous_;
};

std::wstring captionOf(HWND control) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
    return text;
}

// A sixteenth more than the measure: Wine, for one, draws the glyphs a
// little wider than it measures them at some resolutions.
int withAllowance(int width) { return width * 17 / 16; }

// The width, in pixels, that a control's caption needs to show whole; 0
// for a control without a caption.
int neededWidth(const MeasuringContext& measure, HWND control, CaptionRoom room) {
    if (room == CaptionRoom::None) return 0;
    const std::wstring text = captionOf(control);
    RECT client{};
    GetClientRect(control, &client);
    if (room == CaptionRoom::Lines) {
        // The narrowest width at which its lines fit its height; a label
        // whose lines fit as it is keeps its width.
        const int widest = 4 * client.right;
        int width = client.right;
        while (width < widest && measure.linesHeight(text, width) > client.bottom) ++width;
        return width > client.right ? withAllowance(width) : width;
    }
    const int line = withAllowance(measure.lineWidth(text));
    const int digit = measure.lineWidth(L"0");  // the gap beside a box
    switch (room) {
        case CaptionRoom::BesideBox: return GetSystemMetrics(SM_CXMENUCHECK) + digit + line;
        case CaptionRoom::InButton: return line + 4 * GetSystemMetrics(SM_CXEDGE);
        case CaptionRoom::OnFrame: return line + 4 * digit;
        default: return line;
    }
}

// Widens the controls whose captions the font does not fit, and moves
// those beside them (caption_fit.hpp); returns the client area's width,
// widened when they need it.
int fitControlsToCaptions(const std::vector<MadeControl>& made, HFONT font, int clientWidth) {
    const MeasuringContext measure(font);
    std::vector<FittedControl> fitted;
    for (const MadeControl& control : made) {
        RECT place{};
        GetWindowRect(control.handle, &place);
        MapWindowPoints(nullptr, GetParent(control.handle), reinterpret_cast<POINT*>(&place), 2);
        FittedControl& box = fitted.emplace_back(
            FittedControl{place.left, place.top, place.right - place.left, place.bottom - place.top,
                          neededWidth(measure, control.handle, control.look->room), -1});
        for (std::size_t frame = 0; frame < made.size(); ++frame)
            if (made[frame].look->spec == control.look->container)
                box.container = static_cast<int>(frame);
    }
    const int width = kelmor::fitCaptions(fitted, clientWidth);
    for (std::size_t i = 0; i < made.size(); ++i)
        SetWindowPos(made[i].handle, nullptr, fitted[i].left, fitted[i].top, fitted[i].width,
                     fitted[i].height, SWP_NOZORDER | SWP_NOACTIVATE);
    return width;
}

// The controls in the order of their tab indices, which is the order Tab
// walks them.
std::vector<MadeControl> createControls(HWND window, const std::vector<ControlLook>& looks,
                                        const DisplayScale& scale, HFONT font) {
    std::vector<const ControlLook*> inTabOrder;
    for (const ControlLook& look : looks) inTabOrder.push_back(&look);
    std::stable_sort(inTabOrder.begin(), inTabOrder.end(),
                     [](const ControlLook* a, const ControlLook* b) {
                         return a->spec->tabIndex < b->spec->tabIndex;
                     });
    std::vector<MadeControl> made;
    for (const ControlLook* next : inTabOrder) {
        const ControlLook& look = *next;
        const ControlSpec& spec = *look.spec;
        const int left = spec.left + (look.container != nullptr ? look.container->left : 0);
        const int top = spec.top + (look.container != nullptr ? look.container->top : 0);
        const HWND control = CreateWindowExW(
            look.extendedStyle, look.windowClass, displayText(spec.caption).c_str(),
            WS_CHILD | WS_VISIBLE | look.style, pixelsAcross(left, scale), pixelsDown(top, scale),
            pixelsAcross(spec.width, scale), pixelsDown(spec.height, scale), window,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(look.id)), GetModuleHandleW(nullptr),
            nullptr);
        if (control == nullptr) throwLastError("the control " + std::string(spec.name));
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        made.push_back({control, &look});
    }
    SendDlgItemMessageW(window, kCyclesId, EM_SETLIMITTEXT, kCyclesMaxLength, 0);
    return made;
}

// The client area of that size, with the frame around it.
void sizeWindow(HWND window, int clientWidth, int clientHeight) {
    RECT outer{0, 0, clientWidth, clientHeight};
    AdjustWindowRectEx(&outer, static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongW(window, GWL_EXSTYLE)));
    SetWindowPos(window, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

struct DialogState {
    Win32Host& host;
    const ConfigurationForm& form;
    const wchar_t* icon;
    Controls controls{};
    ConfigurationDialog dialog{host, controls, form};
    HFONT font = nullptr;

    // A failure that the dialog does not trap (a settings store that cannot
    // be written) is reported and ends the process; nothing unwinds through
    // the dialog manager.
    void run(const std::function<void()>& step) noexcept {
        try {
            runReportingUnhandledErrors(host, form.window.caption, step);
        } catch (...) {
            ExitProcess(kUnhandledErrorExitCode);
        }
    }
    void run(void (ConfigurationDialog::*click)()) noexcept {
        run([&] { (dialog.*click)(); });
    }

    // Before the dialog is first shown: frame, icon, font and controls, then
    // the load step, then the focus in txtCycles.
    void open(HWND window) {
        controls.window = window;
        controls.scale = displayScale();
        host.setMessageOwner(window);
        run([&] {
            SendMessageW(window, WM_SETICON, ICON_BIG,
                         reinterpret_cast<LPARAM>(loadIcon(icon, 32)));
            SendMessageW(window, WM_SETICON, ICON_SMALL,
                         reinterpret_cast<LPARAM>(loadIcon(icon, GetSystemMetrics(SM_CXSMICON))));
            font = createFont(kConfigurationFont, controls.scale);
            SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
            // The form's size at the display's resolution, wider where the
            // captions need it.
            const std::vector<ControlLook> looks = controlLooks(form);
            const int width =
                fitControlsToCaptions(createControls(window, looks, controls.scale, font), font,
                                      pixelsAcross(form.window.clientWidthTwips, controls.scale));
            sizeWindow(window, width, pixelsDown(form.window.clientHeightTwips, controls.scale));
        });
        run(&ConfigurationDialog::load);
        controls.focusCycles();
    }
};

INT_PTR CALLBACK dialogProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(window, DWLP_USER, lParam);
        reinterpret_cast<DialogState*>(lParam)->open(window);
        return FALSE;  // the focus is set
    }
    auto* state = reinterpret_cast<DialogState*>(GetWindowLongPtrW(window, DWLP_USER));
    if (state == nullptr) return FALSE;
    switch (message) {
        case WM_COMMAND:
            if (HIWORD(wParam) != BN_CLICKED) break;
            if (LOWORD(wParam) == IDOK) {
                state->run(&ConfigurationDialog::cmdOkClicked);
                return TRUE;
            }
            if (LOWORD(wParam) == IDCANCEL) {
                state->run(&ConfigurationDialog::cmdCancelClicked);
                return TRUE;
            }
            break;
        case WM_CLOSE:  // the close box, which the dialog manager would turn into Cancel
            state->run(&ConfigurationDialog::closeBoxClicked);
            return TRUE;
        default: break;
    }
    return FALSE;
}

// A template of the frame alone: the controls are made when the dialog
// opens, in pixels of the display rather than in dialog units.
std::vector<WORD> frameTemplate(const WindowSpec& spec) {
    DLGTEMPLATE header{};
    header.style = kDialogStyle;
    std::vector<WORD> words(sizeof header / sizeof(WORD));
    std::memcpy(words.data(), &header, sizeof header);
    words.push_back(0);  // no menu
    words.push_back(0);  // the system's dialog class
    const std::wstring caption = displayText(spec.caption);
    words.insert(words.end(), caption.begin(), caption.end());
    words.push_back(0);
    return words;
}

}  // namespace

int runConfigurationDialog(Win32Host& host, const ConfigurationForm& form, const wchar_t* icon) {
    DialogState state{host, form, icon};
    const std::vector<WORD> frame = frameTemplate(form.window);
    // The dialog ends the process itself; it returns only when it could not be made.
    DialogBoxIndirectParamW(GetModuleHandleW(nullptr),
                            reinterpret_cast<const DLGTEMPLATE*>(frame.data()), nullptr,
                            dialogProcedure, reinterpret_cast<LPARAM>(&state));
    return kUnhandledErrorExitCode;
}

}  // namespace kelmor::win32
