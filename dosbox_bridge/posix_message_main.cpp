// SPDX-License-Identifier: GPL-3.0-or-later
// kelmor-message: the DOSBox bridge's message box, in a program of its own
// so that the bridge starts without the GUI libraries.
// kelmor-message <title> <style: 0, 16 or 48> <text>; exits when the box is
// dismissed, with 1 where no box can be shown.
#include <FL/Fl.H>

#include <cstdio>
#include <cstdlib>

#include "core/fltk/fltk_message.hpp"

namespace {

[[noreturn]] void noDisplay(const char*, ...) { std::_Exit(1); }

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fputs("usage: kelmor-message <title> <style: 0, 16 or 48> <text>\n", stderr);
        return 2;
    }
    Fl::fatal = noDisplay;
    kelmor::fltk::showMessage(argv[3], static_cast<kelmor::MessageStyle>(std::atoi(argv[2])),
                              argv[1]);
    return 0;
}
