// SPDX-License-Identifier: GPL-3.0-or-later
#include "drives_tool/fltk_path_chooser.hpp"

#include <FL/Fl.H>
#include <FL/Fl_File_Chooser.H>
#include <FL/Fl_File_Input.H>
#include <FL/Fl_Window.H>

#include <algorithm>
#include <cstring>

#include "drives_tool/typed_path.hpp"

namespace kelmor::fltk {
namespace {

struct ChooserLook {
    const char* pattern;
    int type;
};

constexpr ChooserLook lookOf(PathKind kind) {
    switch (kind) {
        case PathKind::Folder: return {"*", Fl_File_Chooser::DIRECTORY};
        case PathKind::Image: return {"CD images (*.{iso,cue,ISO,CUE})", Fl_File_Chooser::SINGLE};
        case PathKind::Program: break;
    }
    return {"*", Fl_File_Chooser::SINGLE};
}

// The first widget of type W within a group, at any depth.
template <class W>
W* findWidget(Fl_Group& group) {
    for (int i = 0; i < group.children(); ++i) {
        Fl_Widget* child = group.child(i);
        if (auto* found = dynamic_cast<W*>(child)) return found;
        if (Fl_Group* inner = child->as_group())
            if (W* found = findWidget<W>(*inner)) return found;
    }
    return nullptr;
}

// Sits before the chooser's own handling of its path box: that handling
// follows the folders as they are typed, but appends what is typed to the
// folder already shown, and takes "/" alone for no folder at all, losing
// the slash.
class PathBox {
public:
    PathBox(Fl_File_Chooser& chooser, Fl_File_Input& box)
        : chooser_(chooser),
          box_(box),
          chooserCallback_(box.callback()),
          chooserData_(box.user_data()) {
        box.callback(&PathBox::typed, this);
    }

private:
    static void typed(Fl_Widget*, void* self) { static_cast<PathBox*>(self)->typed(); }

    void typed() {
        const std::string text = box_.value();
        const std::string path = drives::typedPath(text);
        const int dropped = static_cast<int>(text.size() - path.size());
        const int cursor = std::max(0, box_.position() - dropped);
        // A path right below the root: the chooser goes there itself, then
        // the box gets the path back.
        if (path.rfind('/') == 0 && std::strcmp(chooser_.directory(), "/") != 0)
            chooser_.directory("/");
        if (path != box_.value()) {
            box_.value(path.c_str());
            box_.position(cursor);
        }
        chooserCallback_(&box_, chooserData_);
    }

    Fl_File_Chooser& chooser_;
    Fl_File_Input& box_;
    Fl_Callback* chooserCallback_;
    void* chooserData_;
};

}  // namespace

std::optional<std::string> choosePath(PathKind kind, const std::string& title) {
    const ChooserLook look = lookOf(kind);
    Fl_File_Chooser chooser(".", look.pattern, look.type, title.c_str());
    chooser.preview(0);
    std::optional<PathBox> typing;
    if (auto* box = findWidget<Fl_File_Input>(*chooser.newButton->window()))
        typing.emplace(chooser, *box);
    chooser.show();
    while (chooser.shown()) Fl::wait();
    if (chooser.count() == 0 || chooser.value() == nullptr) return std::nullopt;
    return std::string(chooser.value());
}

}  // namespace kelmor::fltk
