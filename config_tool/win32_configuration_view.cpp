#include "config_tool/win32_configuration_view.hpp"

#include <windows.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "config_tool/configuration_dialog.hpp"
#include "config_tool/configuration_form.hpp"
#include "core/unhandled_error.hpp"
#include "core/win32/win32_error.hpp"
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

// How each control of the form is made on Win32.
struct ControlLook {
    const ControlSpec* spec;
    const ControlSpec* container;  // the frame it sits in, or none
    const wchar_t* windowClass;
    DWORD style;
    DWORD extendedStyle;
    int id;
};

// WS_GROUP opens a group that the arrow keys walk; the next WS_GROUP closes
// it. opt1 holds the option group's tab stop until an option is selected:
// from then on the selected option holds it, as in every Windows dialog.
std::vector<ControlLook> controlLooks(const ConfigurationForm& form) {
    std::vector<ControlLook> looks{
        {&form.txtCycles, nullptr, L"EDIT", WS_GROUP | WS_TABSTOP | ES_AUTOHSCROLL,
         WS_EX_CLIENTEDGE, kCyclesId},
        {&form.options[0], nullptr, L"BUTTON", WS_GROUP | WS_TABSTOP | BS_AUTORADIOBUTTON, 0,
         kFirstOptionId},
        {&form.options[1], nullptr, L"BUTTON", BS_AUTORADIOBUTTON, 0, kFirstOptionId + 1},
        {&form.options[2], nullptr, L"BUTTON", BS_AUTORADIOBUTTON, 0, kFirstOptionId + 2},
        {&form.options[3], nullptr, L"BUTTON", BS_AUTORADIOBUTTON, 0, kFirstOptionId + 3},
        {&form.options[4], nullptr, L"BUTTON", BS_AUTORADIOBUTTON, 0, kFirstOptionId + 4},
        {&form.lblPopis, nullptr, L"STATIC", WS_GROUP | SS_LEFT | SS_NOPREFIX, 0, kLabelId},
        {&form.cmdOk, nullptr, L"BUTTON", WS_GROUP | WS_TABSTOP | BS_DEFPUSHBUTTON, 0, IDOK},
        {&form.cmdCancel, nullptr, L"BUTTON", WS_TABSTOP | BS_PUSHBUTTON, 0, IDCANCEL},
        {&form.frame1, nullptr, L"BUTTON", WS_GROUP | BS_GROUPBOX, 0, kFrameId},
        {&form.lblAbout, &form.frame1, L"STATIC", SS_LEFT | SS_NOPREFIX, 0, kAboutId},
    };
    if (form.chkIntro)
        looks.push_back({&*form.chkIntro, nullptr, L"BUTTON",
                         WS_GROUP | WS_TABSTOP | BS_AUTOCHECKBOX, 0, kIntroId});
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

// The controls in the order of their tab indices, which is the order Tab
// walks them.
void createControls(HWND window, const ConfigurationForm& form, const DisplayScale& scale,
                    HFONT font) {
    std::vector<ControlLook> inTabOrder = controlLooks(form);
    std::sort(inTabOrder.begin(), inTabOrder.end(), [](const ControlLook& a, const ControlLook& b) {
        return a.spec->tabIndex < b.spec->tabIndex;
    });
    for (const ControlLook& look : inTabOrder) {
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
    }
    SendDlgItemMessageW(window, kCyclesId, EM_SETLIMITTEXT, kCyclesMaxLength, 0);
}

// The client area at the display's resolution, with the frame around it.
void sizeWindow(HWND window, const WindowSpec& spec, const DisplayScale& scale) {
    RECT outer{0, 0, pixelsAcross(spec.clientWidthTwips, scale),
               pixelsDown(spec.clientHeightTwips, scale)};
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
            sizeWindow(window, form.window, controls.scale);
            SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(loadIcon(icon, 32)));
            SendMessageW(window, WM_SETICON, ICON_SMALL,
                         reinterpret_cast<LPARAM>(loadIcon(icon, GetSystemMetrics(SM_CXSMICON))));
            font = createFont(kConfigurationFont, controls.scale);
            SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
            createControls(window, form, controls.scale, font);
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
    default:
        break;
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
