// SPDX-License-Identifier: GPL-3.0-or-later
#include "config_tool/fltk_configuration_view.hpp"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Check_Button.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Group.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_RGB_Image.H>
#include <FL/Fl_Round_Button.H>
#include <FL/fl_draw.H>

#include <algorithm>
#include <array>
#include <memory>
#include <string>
#include <vector>

#include "config_tool/configuration_dialog.hpp"
#include "config_tool/configuration_form.hpp"
#include "core/fltk/fltk_label.hpp"
#include "core/fltk/fltk_picture.hpp"
#include "core/fltk/fltk_text.hpp"
#include "core/fltk/fltk_window_hints.hpp"
#include "core/unhandled_error.hpp"

namespace kelmor::fltk {
namespace {

constexpr int kFontSize = 11;  // about 8 pt

// Pixel geometry of a control, relative to the window; `container` is the
// twip origin of the frame that holds it, if any.
struct Box {
    int x, y, w, h;
};
Box pixels(const ControlSpec& spec, const ControlSpec* container = nullptr) {
    const int left = spec.left + (container ? container->left : 0);
    const int top = spec.top + (container ? container->top : 0);
    return {twipsToPixels(left), twipsToPixels(top), twipsToPixels(spec.width),
            twipsToPixels(spec.height)};
}

template <class Widget>
Widget* place(const ControlSpec& spec, const ControlSpec* container = nullptr) {
    const Box b = pixels(spec, container);
    auto* widget = new Widget(b.x, b.y, b.w, b.h);
    widget->copy_label(std::string(spec.caption).c_str());
    widget->labelsize(kFontSize);
    return widget;
}

bool isEnter(int key) { return key == FL_Enter || key == FL_KP_Enter; }

// A push button that Enter presses while it has the focus, as Space does.
class PushButton : public Fl_Button {
public:
    using Fl_Button::Fl_Button;
    int handle(int event) override {
        if (event == FL_KEYBOARD && Fl::focus() == this && isEnter(Fl::event_key())) {
            simulate_key_action();
            do_callback();
            return 1;
        }
        return Fl_Button::handle(event);
    }
};

// The dialog's default button: Enter presses it wherever the focus is
// (unless another button has it), and a dark outline marks it.
class DefaultButton : public PushButton {
public:
    using PushButton::PushButton;
    int handle(int event) override {
        if (event == FL_SHORTCUT && isEnter(Fl::event_key())) {
            simulate_key_action();
            do_callback();
            return 1;
        }
        return PushButton::handle(event);
    }
    void draw() override {
        PushButton::draw();
        fl_color(FL_FOREGROUND_COLOR);
        fl_rect(x(), y(), w(), h());
    }
};

// An option of the preset group. The group is one tab stop, as in every
// Windows dialog: Tab and Shift+Tab reach only the selected option (the
// first while none is), and the arrows select the next or the previous one,
// round from the last to the first.
class OptionButton : public Fl_Round_Button {
public:
    using Fl_Round_Button::Fl_Round_Button;
    int handle(int event) override {
        if (event == FL_FOCUS && Fl::event() != FL_PUSH && !holdsTabStop()) return 0;
        if (event == FL_KEYBOARD && Fl::focus() == this)
            if (const int step = arrowStep(Fl::event_key())) {
                select(step);
                return 1;
            }
        return Fl_Round_Button::handle(event);
    }

private:
    static int arrowStep(int key) {
        if (key == FL_Down || key == FL_Right) return 1;
        if (key == FL_Up || key == FL_Left) return -1;
        return 0;
    }

    // The window's options, in order.
    std::vector<OptionButton*> group() const {
        std::vector<OptionButton*> options;
        for (int i = 0; i < parent()->children(); ++i)
            if (auto* option = dynamic_cast<OptionButton*>(parent()->child(i)))
                options.push_back(option);
        return options;
    }

    bool holdsTabStop() const {
        const auto options = group();
        const auto selected = std::find_if(options.begin(), options.end(),
                                           [](const OptionButton* o) { return o->value() != 0; });
        return selected != options.end() ? *selected == this : options.front() == this;
    }

    void select(int step) {
        const auto options = group();
        const auto count = static_cast<int>(options.size());
        const int at =
            static_cast<int>(std::find(options.begin(), options.end(), this) - options.begin());
        OptionButton* next = options[static_cast<std::size_t>((at + step + count) % count)];
        next->setonly();
        next->take_focus();
    }
};

// A frame with its caption set into the top edge of an engraved line.
class CaptionedFrame : public Fl_Group {
public:
    CaptionedFrame(int x, int y, int w, int h) : Fl_Group(x, y, w, h) {
        align(FL_ALIGN_INSIDE);  // the caption is drawn here, not outside
    }
    void draw() override {
        fl_font(labelfont(), labelsize());
        int textWidth = 0, textHeight = 0;
        fl_measure(label(), textWidth, textHeight, 0);
        fl_color(color());
        fl_rectf(x(), y(), w(), h());
        const int lineTop = y() + textHeight / 2;
        draw_box(FL_ENGRAVED_FRAME, x(), lineTop, w(), h() - (lineTop - y()), color());
        fl_color(color());
        fl_rectf(x() + 6, y(), textWidth + 4, textHeight);
        fl_color(labelcolor());
        fl_draw(label(), x() + 8, y(), textWidth, textHeight, FL_ALIGN_LEFT);
        draw_children();
    }
};

// The window's controls as the dialog's logic sees them.
class Controls : public DialogControls {
public:
    const ConfigurationForm* form = nullptr;
    Fl_Double_Window* window = nullptr;
    Fl_Input* txtCycles = nullptr;
    std::array<Fl_Round_Button*, 5> options{};
    Fl_Check_Button* chkIntro = nullptr;

    void centreWindow() override { centreOnScreen(*window, form->window); }
    std::string cyclesText() const override { return txtCycles->value(); }
    void setCyclesText(const std::string& text) override { txtCycles->value(text.c_str()); }
    void focusCycles() override { txtCycles->take_focus(); }
    bool optionSelected(int number) const override { return options.at(number - 1)->value() != 0; }
    void selectOption(int number) override { options.at(number - 1)->setonly(); }
    bool introChecked() const override { return chkIntro != nullptr && chkIntro->value() != 0; }
    void setIntroChecked(bool checked) override {
        if (chkIntro != nullptr) chkIntro->value(checked ? 1 : 0);
    }
};

// What a click reaches: the dialog, and the host that reports a failure the
// dialog does not trap (a settings store that cannot be written) before the
// process ends, so that no failure unwinds through the event loop.
struct Clicks {
    Host& host;
    ConfigurationDialog& dialog;

    void run(void (ConfigurationDialog::*click)()) {
        runReportingUnhandledErrors(host, dialog.form().window.caption, [&] { (dialog.*click)(); });
    }
};

template <void (ConfigurationDialog::*Click)()>
void forward(Fl_Widget*, void* clicks) {
    static_cast<Clicks*>(clicks)->run(Click);
}

// Escape reaches the window when nothing took it; the close box always does.
void onWindowClose(Fl_Widget*, void* clicks) {
    static_cast<Clicks*>(clicks)->run(Fl::event() == FL_SHORTCUT && Fl::event_key() == FL_Escape
                                          ? &ConfigurationDialog::cmdCancelClicked
                                          : &ConfigurationDialog::closeBoxClicked);
}

// Where a notice goes: below the About frame, as wide as it, and as high
// as its text wrapped to that width; a word wider than that (a long path)
// widens it. Nothing for no notice.
Box noticePlace(const ConfigurationForm& form, const std::string& notice) {
    if (notice.empty()) return {};
    const Box frame = pixels(form.frame1);
    fl_font(FL_HELVETICA, kFontSize);
    int width = frame.w, height = 0;
    fl_measure(labelText(notice).c_str(), width, height);
    return {frame.x, frame.y + frame.h + frame.x / 2, std::max(width, frame.w), height};
}

// The dialog's controls, created in the window being built in tab order:
// Tab walks the box, the option group, the check box and the buttons.
void placeControls(Controls& controls, const ConfigurationForm& form, Clicks& clicks,
                   const std::string& notice, const Box& noticeBox) {
    controls.txtCycles = place<Fl_Input>(form.txtCycles);
    controls.txtCycles->label(nullptr);
    controls.txtCycles->textsize(kFontSize);
    controls.txtCycles->maximum_size(kCyclesMaxLength);
    for (std::size_t i = 0; i < form.options.size(); ++i) {
        auto* option = place<OptionButton>(form.options[i]);
        option->type(FL_RADIO_BUTTON);  // one group: the window's other radios
        controls.options[i] = option;
    }
    if (form.chkIntro) controls.chkIntro = place<Fl_Check_Button>(*form.chkIntro);
    auto* lblPopis = place<Fl_Box>(form.lblPopis);
    lblPopis->align(FL_ALIGN_LEFT | FL_ALIGN_TOP | FL_ALIGN_INSIDE);
    fitLabel(*lblPopis, lblPopis->w());  // it must not run under txtCycles
    auto* cmdOk = place<DefaultButton>(form.cmdOk);
    cmdOk->callback(forward<&ConfigurationDialog::cmdOkClicked>, &clicks);
    auto* cmdCancel = place<PushButton>(form.cmdCancel);
    cmdCancel->shortcut(FL_Escape);
    cmdCancel->callback(forward<&ConfigurationDialog::cmdCancelClicked>, &clicks);
    auto* frame1 = place<CaptionedFrame>(form.frame1);
    auto* lblAbout = place<Fl_Box>(form.lblAbout, &form.frame1);
    lblAbout->align(FL_ALIGN_LEFT | FL_ALIGN_TOP | FL_ALIGN_INSIDE | FL_ALIGN_WRAP);
    frame1->end();
    if (!notice.empty()) {
        auto* lblNotice = new Fl_Box(noticeBox.x, noticeBox.y, noticeBox.w, noticeBox.h);
        showText(*lblNotice, notice);
        lblNotice->labelsize(kFontSize);
        lblNotice->align(FL_ALIGN_LEFT | FL_ALIGN_TOP | FL_ALIGN_INSIDE | FL_ALIGN_WRAP);
    }
}

}  // namespace

int runConfigurationDialog(Host& host, const ConfigurationForm& form, const EmbeddedPicture& icon,
                           const std::string& notice) {
    Fl::visual(FL_RGB);  // also opens the display, which measuring labels needs
    Fl_Group::current(nullptr);
    const std::string caption(form.window.caption);
    Controls controls;
    controls.form = &form;
    ConfigurationDialog dialog(host, controls, form);
    Clicks clicks{host, dialog};

    const Box noticeBox = noticePlace(form, notice);
    const Box frame = pixels(form.frame1);
    const int width =
        std::max(twipsToPixels(form.window.clientWidthTwips), noticeBox.w + 2 * frame.x);
    const int height = twipsToPixels(form.window.clientHeightTwips) +
                       (noticeBox.h ? noticeBox.h + frame.x / 2 : 0);
    Fl_Double_Window window(width, height, caption.c_str());
    window.xclass(caption.c_str());
    window.labelsize(kFontSize);
    controls.window = &window;

    placeControls(controls, form, clicks, notice, noticeBox);
    window.end();

    window.size_range(width, height, width, height);  // fixed size
    window.callback(onWindowClose, &clicks);
    const std::unique_ptr<Fl_RGB_Image> windowIcon = toFltkImage(icon);
    window.icon(windowIcon.get());

    clicks.run(&ConfigurationDialog::load);
    window.show();
    offerOnlyClose(window);
    controls.txtCycles->take_focus();
    return Fl::run();
}

}  // namespace kelmor::fltk
