// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/fltk/fltk_message.hpp"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Return_Button.H>
#include <FL/Fl_Window.H>
#include <FL/fl_draw.H>

#include <algorithm>

#include "core/fltk/fltk_text.hpp"

namespace kelmor::fltk {
namespace {

constexpr int kMargin = 12;
constexpr int kIconSize = 32;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 25;
constexpr int kFontSize = 12;
constexpr int kMaximumTextWidth = 480;  // longer lines wrap, as on Windows

void closeBox(Fl_Widget* widget, void*) { widget->window()->hide(); }

// The sign beside the text: an exclamation mark in a yellow triangle for a
// warning, a white cross on a red disc for an error report.
class MessageSign : public Fl_Widget {
public:
    MessageSign(int x, int y, MessageStyle style)
        : Fl_Widget(x, y, kIconSize, kIconSize), style_(style) {}

    void draw() override {
        if (style_ == MessageStyle::Critical)
            drawErrorSign();
        else
            drawWarningSign();
    }

private:
    void drawWarningSign() {
        const int left = x(), top = y() + 2, right = x() + w() - 1, bottom = y() + h() - 2;
        const int middle = x() + w() / 2;
        fl_color(FL_YELLOW);
        fl_polygon(middle, top, right, bottom, left, bottom);
        fl_color(FL_BLACK);
        fl_loop(middle, top, right, bottom, left, bottom);
        fl_font(FL_HELVETICA_BOLD, 18);
        fl_draw("!", left, top + 6, w(), bottom - top - 6, FL_ALIGN_CENTER);
    }

    void drawErrorSign() {
        fl_color(FL_RED);
        fl_pie(x(), y(), w(), h(), 0, 360);
        fl_color(FL_WHITE);
        fl_line_style(FL_SOLID, 4);
        const int inset = w() / 4;
        fl_line(x() + inset, y() + inset, x() + w() - inset, y() + h() - inset);
        fl_line(x() + w() - inset, y() + inset, x() + inset, y() + h() - inset);
        fl_line_style(0);
    }

    MessageStyle style_;
};

// A label's size as FLTK will draw it, wrapped at kMaximumTextWidth, at
// least one line high.
void measureLabel(const std::string& label, int& width, int& height) {
    fl_font(FL_HELVETICA, kFontSize);
    width = 0;
    height = 0;
    fl_measure(label.c_str(), width, height);
    if (width > kMaximumTextWidth) {
        width = kMaximumTextWidth;
        fl_measure(label.c_str(), width, height);
    }
    height = std::max(height, fl_height());
}

}  // namespace

// A Windows-like message box: the text as written, the warning sign for
// warnings, one OK button that Return presses; centred on the primary screen.
void showMessage(const std::string& text, MessageStyle style, const std::string& title) {
    int textWidth = 0, textHeight = 0;
    measureLabel(labelText(text), textWidth, textHeight);
    const bool withIcon = style != MessageStyle::Plain;
    const int textLeft = kMargin + (withIcon ? kIconSize + kMargin : 0);
    const int contentHeight = std::max(textHeight, withIcon ? kIconSize : 0);
    const int width = std::max(textLeft + textWidth + 2 * kMargin, kButtonWidth + 2 * kMargin);
    const int height = kMargin + contentHeight + kMargin + kButtonHeight + kMargin;

    Fl_Window box(width, height, title.c_str());
    if (withIcon) {
        new MessageSign(kMargin, kMargin, style);
    }
    auto* message = new Fl_Box(textLeft, kMargin, textWidth, contentHeight);
    showText(*message, text);
    message->labelsize(kFontSize);
    message->align(FL_ALIGN_LEFT | FL_ALIGN_INSIDE | FL_ALIGN_WRAP);
    auto* ok = new Fl_Return_Button((width - kButtonWidth) / 2, height - kMargin - kButtonHeight,
                                    kButtonWidth, kButtonHeight, "OK");
    ok->callback(closeBox);
    box.end();
    box.set_modal();

    int sx = 0, sy = 0, sw = 0, sh = 0;
    Fl::screen_xywh(sx, sy, sw, sh, 0);
    box.position(sx + (sw - width) / 2, sy + (sh - height) / 2);
    box.show();
    ok->take_focus();
    while (box.shown()) Fl::wait();
}

}  // namespace kelmor::fltk
