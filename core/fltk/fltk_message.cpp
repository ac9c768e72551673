#include "core/fltk/fltk_message.hpp"

#include <FL/Fl.H>
#include <FL/Fl_Widget.H>
#include <FL/fl_ask.H>

namespace kelmor::fltk {

void showMessage(const std::string& text, MessageStyle style, const std::string& title) {
    fl_close = "OK";
    fl_message_hotspot(0);  // centred on the screen, not under the pointer
    fl_message_title(title.c_str());
    Fl_Widget* icon = fl_message_icon();
    if (style == MessageStyle::Plain) {
        icon->hide();
        fl_message("%s", text.c_str());
    } else {
        icon->show();
        fl_alert("%s", text.c_str());
    }
}

void presentMessagesWithFltk(posix::PosixHost& host) {
    host.setMessagePresenter(showMessage);
}

}  // namespace kelmor::fltk
