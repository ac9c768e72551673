// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/fltk/fltk_launcher_window.hpp"

#include <FL/Fl.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_RGB_Image.H>
#include <FL/Fl_Widget.H>
#include <FL/fl_draw.H>

#include <memory>
#include <string>

#include "core/fltk/fltk_picture.hpp"
#include "core/fltk/fltk_window_hints.hpp"

namespace kelmor::fltk {
namespace {

// Draws a picture unscaled from the top-left corner; what lies outside the
// client area is cut off.
class BackgroundPicture : public Fl_Widget {
public:
    BackgroundPicture(int w, int h, std::unique_ptr<Fl_RGB_Image> picture)
        : Fl_Widget(0, 0, w, h), picture_(std::move(picture)) {}

    void draw() override {
        fl_push_clip(x(), y(), w(), h());
        picture_->draw(x(), y(), w(), h(), 0, 0);
        fl_pop_clip();
    }

private:
    std::unique_ptr<Fl_RGB_Image> picture_;
};

struct TickState {
    const WindowSpec* spec;
    std::function<void()> tick;
    bool ran = false;
};

// A launcher window has no close handling of its own: neither Escape nor
// the close box ends the process, the sequence alone does.
void ignoreClose(Fl_Widget*, void*) {}

void onTimer(void* data) {
    auto* state = static_cast<TickState*>(data);
    if (state->ran) return;  // the sequence runs once per process
    if (!state->spec->tickStopsTimer)
        Fl::repeat_timeout(state->spec->timerMilliseconds / 1000.0, onTimer, data);
    state->ran = true;
    state->tick();
}

}  // namespace

void centreOnScreen(Fl_Window& window, const WindowSpec& spec) {
    int sx = 0, sy = 0, sw = 0, sh = 0;
    Fl::screen_xywh(sx, sy, sw, sh, 0);
    const TwipPosition outer = centredPosition(
        {static_cast<float>(pixelsToTwips(sw)), static_cast<float>(pixelsToTwips(sh))},
        outerSize(spec));
    const bool framed = spec.frame == WindowFrame::FixedSingle;
    window.position(sx + twipsToPixels(outer.left) + (framed ? kFixedFrameSidePixels : 0),
                    sy + twipsToPixels(outer.top) + (framed ? kFixedFrameTopPixels : 0));
}

int runLauncherWindow(const WindowSpec& spec, const LauncherLook& look,
                      std::function<void()> tick) {
    Fl::visual(FL_RGB);
    const int width = twipsToPixels(spec.clientWidthTwips);
    const int height = twipsToPixels(spec.clientHeightTwips);
    const std::string caption(spec.caption);
    Fl_Double_Window window(width, height, caption.c_str());
    window.xclass(caption.c_str());
    if (spec.frame == WindowFrame::Borderless) window.border(0);
    if (look.background.bytes) new BackgroundPicture(width, height, toFltkImage(look.background));
    if (look.addContents) look.addContents(window);
    window.end();
    window.size_range(width, height, width, height);  // fixed size
    window.callback(ignoreClose);

    const std::unique_ptr<Fl_RGB_Image> icon = look.icon.bytes ? toFltkImage(look.icon) : nullptr;
    if (icon) window.icon(icon.get());

    centreOnScreen(window, spec);
    window.show();
    if (spec.frame == WindowFrame::FixedSingle) offerOnlyClose(window);
    if (spec.pointer == WindowPointer::Busy) window.cursor(FL_CURSOR_WAIT);

    TickState state{&spec, std::move(tick)};
    Fl::add_timeout(spec.timerMilliseconds / 1000.0, onTimer, &state);
    return Fl::run();
}

}  // namespace kelmor::fltk
