#include "drives_tool/fltk_drives_window.hpp"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Browser.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Hold_Browser.H>
#include <FL/Fl_Native_File_Chooser.H>
#include <FL/Fl_RGB_Image.H>

#include <functional>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

#include "core/fltk/fltk_message.hpp"
#include "core/fltk/fltk_picture.hpp"

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
        button(folder_, "&Folder...", [this] { choose(Fl_Native_File_Chooser::BROWSE_DIRECTORY); });
        button(image_, "&Image...", [this] { choose(Fl_Native_File_Chooser::BROWSE_FILE); });
        button(clear_, "C&lear", [this] { edit([this] { letters_.clear(chosenLetter()); }); });
        button(save_, "&Save", [this] { save(); });
        button(close_, "Close", [this] { window_.hide(); });
        window_.end();
        refresh();
        list_.select(1);
        window_.show();
        list_.take_focus();
    }

private:
    template <class Action>
    void button(Fl_Button& widget, const char* label, Action action) {
        widget.label(label);
        widget.labelsize(kFontSize);
        actions_.emplace_back(std::move(action));
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
    }

    void edit(const std::function<void()>& change) {
        change();
        status_.copy_label("Not saved yet.");
        refresh();
    }

    void choose(Fl_Native_File_Chooser::Type type) {
        const char letter = chosenLetter();
        const bool folder = type == Fl_Native_File_Chooser::BROWSE_DIRECTORY;
        const std::string title =
            std::string(folder ? "A folder for " : "An image for ") + letter + ":";
        Fl_Native_File_Chooser chooser;
        chooser.type(type);
        chooser.title(title.c_str());
        if (!folder) chooser.filter("CD images\t*.{iso,cue,ISO,CUE}");
        if (chooser.show() != 0 || chooser.filename() == nullptr) return;
        const std::string path = chooser.filename();
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

    void save() {
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
        reserved.reserve(5);  // the buttons keep pointers to their actions
        return reserved;
    }();
    Fl_Double_Window window_{kWidth, 470};
    std::vector<drives::LetterState> states_;
    Fl_Hold_Browser list_{10, 10, kWidth - 20, 258};
    Fl_Box imageHolds_{10, 270, kWidth - 20, 44};
    Fl_Button folder_{10, 320, 105, 28};
    Fl_Button image_{125, 320, 105, 28};
    Fl_Button clear_{240, 320, 105, 28};
    Fl_Button save_{355, 320, 105, 28};
    Fl_Button close_{470, 320, 120, 28};
    Fl_Browser problems_{10, 375, kWidth - 20, 60};
    Fl_Box status_{10, 440, kWidth - 20, 24};
};

}  // namespace

int runDrivesWindow(drives::DriveLetters& letters, const EmbeddedPicture& icon) {
    // FLTK's own chooser rather than the GTK one it would load where GTK is
    // installed: the same on every desktop, its path box focused at once,
    // so a typed path and Enter choose.
    Fl::option(Fl::OPTION_FNFC_USES_GTK, false);
    DrivesWindow window(letters, icon);
    return Fl::run();
}

}  // namespace kelmor::fltk
