// SPDX-License-Identifier: GPL-3.0-or-later
#include "drives_tool/fltk_drives_window.hpp"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Browser.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Check_Button.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Hold_Browser.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_RGB_Image.H>

#include <functional>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

#include "core/fltk/fltk_message.hpp"
#include "core/fltk/fltk_picture.hpp"
#include "drives_tool/fltk_path_chooser.hpp"

namespace kelmor::fltk {
namespace {

constexpr int kWidth = 600;
constexpr int kFontSize = 13;

class DrivesWindow {
public:
    DrivesWindow(drives::DriveLetters& letters, const EmbeddedPicture& icon)
        : letters_(letters), icon_(toFltkImage(icon)) {
        window_.label(kDrivesWindowTitle);
        window_.xclass(kDrivesWindowTitle);  // its menu entry's StartupWMClass
        window_.icon(icon_.get());
        list_.textsize(kFontSize);
        list_.textfont(FL_COURIER);
        list_.when(FL_WHEN_CHANGED);
        list_.callback(
            [](Fl_Widget*, void* window) { static_cast<DrivesWindow*>(window)->showChosenImage(); }, this);
        imageHolds_.align(FL_ALIGN_INSIDE | FL_ALIGN_TOP_LEFT | FL_ALIGN_WRAP);
        imageHolds_.labelsize(kFontSize - 1);
        problems_.textsize(kFontSize - 1);
        problems_.label("Lines of the drive map that name no drive:");
        problems_.align(FL_ALIGN_TOP_LEFT);
        problems_.labelsize(kFontSize - 1);
        problems_.clear_visible_focus();
        status_.align(FL_ALIGN_INSIDE | FL_ALIGN_LEFT);
        status_.labelsize(kFontSize - 1);
        button(folder_, "&Folder...", [this] { choose(PathKind::Folder); });
        button(image_, "&Image...", [this] { choose(PathKind::Image); });
        button(clear_, "C&lear", [this] { edit([this] { letters_.clear(chosenLetter()); }); });
        button(save_, "&Save", [this] { save(); });
        button(close_, "Close", [this] { window_.hide(); });
        emulator_.label("&Emulator the launchers start (empty: dosbox on PATH):");
        emulator_.align(FL_ALIGN_TOP_LEFT);
        emulator_.labelsize(kFontSize - 1);
        emulator_.textsize(kFontSize);
        emulator_.when(FL_WHEN_RELEASE | FL_WHEN_ENTER_KEY);
        action(emulator_, [this] { commitEmulator(); });
        button(browse_, "&Browse...", [this] { chooseEmulator(); });
        button(detect_, "&Detect mounted discs and CD images beside the programs",
               [this] { edit([this] { letters_.setDetection(detect_.value() != 0); }); });
        window_.end();
        refresh();
        list_.select(1);
        window_.show();
        list_.take_focus();
    }

private:
    template <class Action>
    void button(Fl_Button& widget, const char* label, Action run) {
        widget.label(label);
        widget.labelsize(kFontSize);
        action(widget, std::move(run));
    }

    template <class Action>
    void action(Fl_Widget& widget, Action run) {
        actions_.emplace_back(std::move(run));
        widget.callback([](Fl_Widget*, void* data) { (*static_cast<std::function<void()>*>(data))(); },
                        &actions_.back());
    }

    char chosenLetter() const {
        const int line = list_.value();
        return static_cast<char>('D' + (line > 0 ? line - 1 : 0));
    }

    // What the chosen letter's image holds, or why nothing, in full.
    void showChosenImage() {
        const auto chosen = static_cast<std::size_t>(chosenLetter() - 'D');
        imageHolds_.copy_label(chosen < states_.size() ? drives::describeImage(states_[chosen]).c_str() : "");
    }

    void refresh() {
        const int chosen = list_.value();
        list_.clear();
        states_ = letters_.letters();
        for (const auto& state : states_) list_.add(drives::describeLetter(state).c_str());
        list_.select(chosen > 0 ? chosen : 1);
        showChosenImage();
        problems_.clear();
        for (const auto& line : letters_.unusableLines()) problems_.add(line.c_str());
        if (problems_.size() == 0) problems_.add("(none)");
        // A name being typed stays; otherwise the box shows the drive map's.
        if (shownEmulator_ == emulator_.value()) {
            shownEmulator_ = letters_.emulator();
            emulator_.value(shownEmulator_.c_str());
        }
        detect_.value(letters_.detects() ? 1 : 0);
    }

    void edit(const std::function<void()>& change) {
        change();
        status_.copy_label("Not saved yet.");
        refresh();
    }

    void choose(PathKind kind) {
        const char letter = chosenLetter();
        const bool folder = kind == PathKind::Folder;
        const std::string title =
            std::string(folder ? "A folder for " : "An image for ") + letter + ":";
        const auto chosen = choosePath(kind, title);
        if (!chosen) return;
        const std::string& path = *chosen;
        try {
            edit([&] { letters_.give(letter, path); });
        } catch (const std::system_error& failure) {
            // The letter keeps what it had, and the edits so far stay.
            showMessage(std::string(1, letter) + ": cannot be given this " +
                            (folder ? "folder" : "image") + ": " + failure.what() +
                            ".\n\nRename it, or choose another one.",
                        MessageStyle::Warning, kDrivesWindowTitle);
        }
    }

    void chooseEmulator() {
        const auto chosen = choosePath(PathKind::Program, "The emulator's program");
        if (!chosen) return;
        emulator_.value(chosen->c_str());
        commitEmulator();
    }

    // The emulator's box, once typed into, becomes an edit like any other.
    // A name the drive map cannot hold stays in the box, for the user to
    // mend; false then.
    bool commitEmulator() {
        // Before a message can take the focus, and with it call this again.
        emulator_.clear_changed();
        const std::string typed = emulator_.value();
        if (typed == letters_.emulator()) return true;
        try {
            letters_.setEmulator(typed);
        } catch (const std::system_error& failure) {
            showMessage(std::string("The emulator cannot be named so: ") + failure.what() + ".",
                        MessageStyle::Warning, kDrivesWindowTitle);
            return false;
        }
        shownEmulator_ = typed;
        edit([] {});
        return true;
    }

    void save() {
        if (!commitEmulator()) return;
        try {
            letters_.save();
            status_.copy_label(("Saved to " + letters_.file()).c_str());
        } catch (const std::system_error& failure) {
            showMessage(std::string("The drive map cannot be saved: ") + failure.what(),
                        MessageStyle::Critical, kDrivesWindowTitle);
        }
        refresh();
    }

    drives::DriveLetters& letters_;
    std::unique_ptr<Fl_RGB_Image> icon_;
    std::vector<std::function<void()>> actions_ = [] {
        std::vector<std::function<void()>> reserved;
        reserved.reserve(8);  // the widgets keep pointers to their actions
        return reserved;
    }();
    std::string shownEmulator_;  // what the emulator's box was last given
    std::vector<drives::LetterState> states_;
    // Created in the order Tab walks them.
    Fl_Double_Window window_{kWidth, 545};
    Fl_Hold_Browser list_{10, 10, kWidth - 20, 258};
    Fl_Box imageHolds_{10, 270, kWidth - 20, 44};
    Fl_Button folder_{10, 320, 105, 28};
    Fl_Button image_{125, 320, 105, 28};
    Fl_Button clear_{240, 320, 105, 28};
    Fl_Button save_{355, 320, 105, 28};
    Fl_Button close_{470, 320, 120, 28};
    Fl_Input emulator_{10, 375, kWidth - 140, 28};
    Fl_Button browse_{kWidth - 120, 375, 110, 28};
    Fl_Check_Button detect_{10, 408, kWidth - 20, 26};
    Fl_Browser problems_{10, 455, kWidth - 20, 55};
    Fl_Box status_{10, 515, kWidth - 20, 24};
};

}  // namespace

int runDrivesWindow(drives::DriveLetters& letters, const EmbeddedPicture& icon) {
    DrivesWindow window(letters, icon);
    return Fl::run();
}

}  // namespace kelmor::fltk
