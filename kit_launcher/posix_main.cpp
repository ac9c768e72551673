// SPDX-License-Identifier: GPL-3.0-or-later
// _KelmorPlix on Linux: the kit launcher's window on FLTK over the POSIX host.
#include <cstddef>
#include <string>
#include <vector>

#include "core/application_folder.hpp"
#include "core/fltk/fltk_launcher_window.hpp"
#include "core/fltk/fltk_message.hpp"
#include "core/posix/posix_host.hpp"
#include "core/program_identity.hpp"
#include "core/unhandled_error.hpp"
#include "kit_launcher/kit_launch.hpp"

extern const unsigned char kelplix_background_png[];
extern const std::size_t kelplix_background_png_size;
extern const unsigned char kelplix_icon_bmp[];
extern const std::size_t kelplix_icon_bmp_size;

int main(int argc, char** argv) {
    using namespace kelmor;
    posix::PosixHostOptions options;
    options.arguments.assign(argv + 1, argv + argc);
    posix::PosixHost host(options);
    host.setMessagePresenter(fltk::showMessage);
    refuseUnusableApplicationFolder(host, kKitLauncherIdentity.title);
    KitLauncher launcher(host);

    using Format = fltk::EmbeddedPicture::Format;
    const fltk::LauncherLook look{
        {kelplix_background_png, kelplix_background_png_size, Format::Png},
        {kelplix_icon_bmp, kelplix_icon_bmp_size, Format::Bmp},
        {}};
    // A failure that the sequence does not trap must not unwind through the
    // event loop: it is reported and ends the process inside the tick.
    return fltk::runLauncherWindow(kKitWindow, look, [&] {
        runReportingUnhandledErrors(host, kKitLauncherIdentity.title,
                                    [&] { launcher.LaunchKit(); });
    });
}
