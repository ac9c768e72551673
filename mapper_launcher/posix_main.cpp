// SPDX-License-Identifier: GPL-3.0-or-later
// _Mapper on Linux: the mapper launcher's wait window on FLTK over the POSIX host.
#include <FL/Fl_Box.H>
#include <FL/Fl_RGB_Image.H>
#include <FL/Fl_Window.H>

#include <cstddef>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/application_folder.hpp"
#include "core/fltk/fltk_label.hpp"
#include "core/fltk/fltk_launcher_window.hpp"
#include "core/fltk/fltk_message.hpp"
#include "core/fltk/fltk_picture.hpp"
#include "core/posix/posix_host.hpp"
#include "core/program_identity.hpp"
#include "core/unhandled_error.hpp"
#include "mapper_launcher/mapper_launch.hpp"

extern const unsigned char mapper_icon_bmp[];
extern const std::size_t mapper_icon_bmp_size;

namespace {

// A control's box in pixels.
Fl_Box* newBox(const kelmor::ControlSpec& spec) {
    using kelmor::twipsToPixels;
    return new Fl_Box(twipsToPixels(spec.left), twipsToPixels(spec.top), twipsToPixels(spec.width),
                      twipsToPixels(spec.height));
}

}  // namespace

int main(int argc, char** argv) {
    using namespace kelmor;
    posix::PosixHostOptions options;
    options.arguments.assign(argv + 1, argv + argc);
    posix::PosixHost host(std::move(options));
    host.setMessagePresenter(fltk::showMessage);
    refuseUnusableApplicationFolder(host, kMapperLauncherIdentity.title);
    MapperLauncher launcher(host);

    const fltk::EmbeddedPicture icon{mapper_icon_bmp, mapper_icon_bmp_size,
                                     fltk::EmbeddedPicture::Format::Bmp};
    std::unique_ptr<Fl_RGB_Image> picture;  // Image1's, alive as long as the window
    const std::string status(kMapperLblStatus.caption);
    const fltk::LauncherLook look{
        {}, icon, [&](Fl_Window&) {
            picture = fltk::toFltkImage(icon);
            Fl_Box* image1 = newBox(kMapperImage1);
            image1->image(picture.get());
            Fl_Box* lblStatus = newBox(kMapperLblStatus);
            lblStatus->label(status.c_str());
            lblStatus->align(FL_ALIGN_LEFT | FL_ALIGN_INSIDE | FL_ALIGN_CLIP);
            lblStatus->labelfont(FL_HELVETICA);
            lblStatus->labelsize(11);
            fltk::fitLabel(*lblStatus, lblStatus->w());
        }};
    // A map editor that nothing can start is told by the launcher itself;
    // anything else that goes wrong is reported.
    return fltk::runLauncherWindow(kMapperWindow, look, [&] {
        runReportingUnhandledErrors(host, kMapperLauncherIdentity.title, [&] { launcher.run(); });
    });
}
