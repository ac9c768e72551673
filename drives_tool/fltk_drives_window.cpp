// SPDX-License-Identifier: GPL-3.0-or-later
#include "drives_tool/fltk_drives_window.hpp"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Browser.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Check_Button.H>
#include <FL/Fl_Choice.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Hold_Browser.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_RGB_Image.H>
#include <FL/fl_ask.H>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "core/fltk/fltk_message.hpp"
#include "core/fltk/fltk_picture.hpp"
#include "core/fltk/fltk_text.hpp"
#include "drives_tool/fltk_path_chooser.hpp"

namespace kelmor::fltk {
namespace {

constexpr int kWidth = 600;
constexpr int kFontSize = 13;
// How long typing pauses before the line below the emulator's box follows it.
constexpr double kFollowTypingAfter = 0.25;
constexpr const char* kPurpose =
    "Kelmor Drives tells Kelmor and Kelmor Plix where their CDs are: give a drive letter a folder "
    "that holds the CD's files, or an image of it.";
constexpr const char* kUnsavedQuestion =
    "Your changes to the drive letters and options are not saved yet.\n\n"
    "Save them before Kelmor Drives closes?";
// The answers to kUnsavedQuestion, as fl_choice() numbers its buttons:
// Escape answers the first, Enter the second.
enum Answer { Cancel = 0, Save = 1, Discard = 2 };

// A text box that tells of each change of its text, typed, pasted or cut.
class WatchedInput : public Fl_Input {
public:
    using Fl_Input::Fl_Input;
    std::function<void()> changed;

    int handle(int event) override {
        const std::string before = value();
        const int handled = Fl_Input::handle(event);
        if (changed && before != value()) changed();
        return handled;
    }
};

class DrivesWindow {
public:
    DrivesWindow(drives::DriveLetters& letters, const EmbeddedPicture& icon)
        : letters_(letters), icon_(toFltkImage(icon)) {
        window_.label(kDrivesWindowTitle);
        window_.xclass(kDrivesWindowTitle);  // its menu entry's StartupWMClass
        window_.icon(icon_.get());
        window_.callback(
            [](Fl_Widget*, void* window) { static_cast<DrivesWindow*>(window)->close(); }, this);
        purpose_.label(kPurpose);
        purpose_.align(FL_ALIGN_INSIDE | FL_ALIGN_TOP_LEFT | FL_ALIGN_WRAP);
        purpose_.labelsize(kFontSize);
        list_.textsize(kFontSize);
        list_.textfont(FL_COURIER);
        list_.when(FL_WHEN_CHANGED);
        list_.callback(
            [](Fl_Widget*, void* window) { static_cast<DrivesWindow*>(window)->showChosenImage(); },
            this);
        imageHolds_.align(FL_ALIGN_INSIDE | FL_ALIGN_TOP_LEFT | FL_ALIGN_WRAP | FL_ALIGN_CLIP);
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
        button(close_, "Close", [this] { close(); });
        emulator_.label("&Emulator the launchers start (empty: the first one found):");
        emulator_.align(FL_ALIGN_TOP_LEFT);
        emulator_.labelsize(kFontSize - 1);
        emulator_.textsize(kFontSize);
        emulator_.when(FL_WHEN_RELEASE | FL_WHEN_ENTER_KEY);
        action(emulator_, [this] { commitEmulator(); });
        emulator_.changed = [this] {
            Fl::remove_timeout(followTyping, this);
            Fl::add_timeout(kFollowTypingAfter, followTyping, this);
        };
        button(browse_, "&Browse...", [this] { chooseEmulator(); });
        started_.align(FL_ALIGN_INSIDE | FL_ALIGN_TOP_LEFT | FL_ALIGN_WRAP | FL_ALIGN_CLIP);
        started_.labelsize(kFontSize - 1);
        found_.label("&Pick one found:");
        found_.labelsize(kFontSize - 1);
        found_.textsize(kFontSize - 1);
        action(found_, [this] { pickEmulator(); });
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
        widget.callback(
            [](Fl_Widget*, void* data) { (*static_cast<std::function<void()>*>(data))(); },
            &actions_.back());
    }

    static void followTyping(void* window) {
        static_cast<DrivesWindow*>(window)->showStartedEmulator();
    }

    // The emulators present to pick from, the first entry standing for none
    // named; listed anew when the drive map's emulator changes.
    void listEmulators() {
        const std::string configured = letters_.emulator();
        if (listedFor_ && *listedFor_ == configured) return;
        listedFor_ = configured;
        emulators_ = letters_.emulators();
        found_.clear();
        addItem(found_, "The first one found");
        for (const auto& emulator : emulators_) addItem(found_, drives::describeEmulator(emulator));
    }

    // What the launchers start with the name in the emulator's box, and
    // that one chosen in the list (none when the list lacks it).
    void showStartedEmulator() {
        const std::string typed = emulator_.value();
        const auto started = letters_.startedEmulator(typed);
        showText(started_, drives::describeStartedEmulator(typed, started));
        int entry = typed.empty() ? 0 : -1;
        for (std::size_t i = 0; started && !typed.empty() && i < emulators_.size(); ++i)
            if (emulators_[i].realPath == started->realPath) entry = static_cast<int>(i) + 1;
        found_.value(entry);
        window_.redraw();
    }

    // An emulator picked goes into the box as if typed there.
    void pickEmulator() {
        const int entry = found_.value();
        if (entry < 0) return;
        emulator_.value(entry == 0 ? ""
                                   : emulators_[static_cast<std::size_t>(entry) - 1].path.c_str());
        commitEmulator();
        showStartedEmulator();
    }

    char chosenLetter() const {
        const int line = list_.value();
        return static_cast<char>('D' + (line > 0 ? line - 1 : 0));
    }

    // What the chosen letter's image holds, or why nothing, in full; or
    // which folder to give it where its folder is one level off a CD.
    void showChosenImage() {
        const auto chosen = static_cast<std::size_t>(chosenLetter() - 'D');
        if (chosen >= states_.size()) return showText(imageHolds_, "");
        const std::string image = drives::describeImage(states_[chosen]);
        showText(imageHolds_, image.empty() ? drives::describeNearbyCds(states_[chosen]) : image);
    }

    void refresh() {
        const int chosen = list_.value();
        list_.clear();
        states_ = letters_.letters();
        for (const auto& state : states_) addLine(list_, drives::describeLetter(state));
        list_.select(chosen > 0 ? chosen : 1);
        showChosenImage();
        problems_.clear();
        for (const auto& line : letters_.unusableLines()) addLine(problems_, line);
        if (problems_.size() == 0) problems_.add("(none)");
        // A name being typed stays; otherwise the box shows the drive map's.
        if (shownEmulator_ == emulator_.value()) {
            shownEmulator_ = letters_.emulator();
            emulator_.value(shownEmulator_.c_str());
        }
        detect_.value(letters_.detects() ? 1 : 0);
        listEmulators();
        showStartedEmulator();
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
        showStartedEmulator();
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

    bool unsaved() const { return letters_.unsaved() || emulator_.value() != letters_.emulator(); }

    // Close, Escape and the close box: changes not saved yet are saved or
    // discarded as the user answers, or the window stays with them.
    void close() {
        if (unsaved()) {
            fl_message_title(kDrivesWindowTitle);
            switch (fl_choice("%s", "Cancel", "&Save", "&Discard", kUnsavedQuestion)) {
                case Answer::Save:
                    if (!save()) return;
                    break;
                case Answer::Discard: break;
                default: return;
            }
        }
        window_.hide();
    }

    // Whether the drive map holds the edits now.
    bool save() {
        if (!commitEmulator()) return false;
        try {
            letters_.save();
            showText(status_, "Saved to " + letters_.file());
        } catch (const std::system_error& failure) {
            showMessage(std::string("The drive map cannot be saved: ") + failure.what(),
                        MessageStyle::Critical, kDrivesWindowTitle);
        }
        refresh();
        return !letters_.unsaved();
    }

    drives::DriveLetters& letters_;
    std::unique_ptr<Fl_RGB_Image> icon_;
    std::vector<std::function<void()>> actions_ = [] {
        std::vector<std::function<void()>> reserved;
        reserved.reserve(9);  // the widgets keep pointers to their actions
        return reserved;
    }();
    std::string shownEmulator_;             // what the emulator's box was last given
    std::optional<std::string> listedFor_;  // the emulator= the list was made with
    std::vector<linux_emulators::PresentEmulator> emulators_;
    std::vector<drives::LetterState> states_;
    // Created in the order Tab walks them.
    Fl_Double_Window window_{kWidth, 657};
    Fl_Box purpose_{10, 6, kWidth - 20, 36};
    Fl_Hold_Browser list_{10, 46, kWidth - 20, 258};
    Fl_Box imageHolds_{10, 306, kWidth - 20, 48};
    Fl_Button folder_{10, 360, 105, 28};
    Fl_Button image_{125, 360, 105, 28};
    Fl_Button clear_{240, 360, 105, 28};
    Fl_Button save_{355, 360, 105, 28};
    Fl_Button close_{470, 360, 120, 28};
    WatchedInput emulator_{10, 415, kWidth - 140, 28};
    Fl_Button browse_{kWidth - 120, 415, 110, 28};
    Fl_Box started_{10, 446, kWidth - 20, 34};
    Fl_Choice found_{115, 483, kWidth - 125, 26};
    Fl_Check_Button detect_{10, 516, kWidth - 20, 26};
    Fl_Browser problems_{10, 566, kWidth - 20, 55};
    Fl_Box status_{10, 626, kWidth - 20, 24};
};

}  // namespace

int runDrivesWindow(drives::DriveLetters& letters, const EmbeddedPicture& icon) {
    DrivesWindow window(letters, icon);
    return Fl::run();
}

}  // namespace kelmor::fltk
