// SPDX-License-Identifier: GPL-3.0-or-later
// KELMOR on Linux: the game launcher's window on FLTK over the POSIX host.
#include <cstddef>
#include <string>
#include <vector>

#include "core/application_folder.hpp"
#include "core/fltk/fltk_launcher_window.hpp"
#include "core/fltk/fltk_message.hpp"
#include "core/posix/posix_host.hpp"
#include "core/program_identity.hpp"
#include "core/unhandled_error.hpp"
#include "game_launcher/game_launch.hpp"

extern const unsigned char kelmor_background_png[];
extern const std::size_t kelmor_background_png_size;
extern const unsigned char kelmor_icon_bmp[];
extern const std::size_t kelmor_icon_bmp_size;

int main(int argc, char** argv) {
    using namespace kelmor;
    posix::PosixHost host({.arguments = std::vector<std::string>(argv + 1, argv + argc)});
    host.setMessagePresenter(fltk::showMessage);
    refuseUnusableApplicationFolder(host, kGameLauncherIdentity.title);
    GameLauncher launcher(host);

    using Format = fltk::EmbeddedPicture::Format;
    const fltk::LauncherLook look{{kelmor_background_png, kelmor_background_png_size, Format::Png},
                                  {kelmor_icon_bmp, kelmor_icon_bmp_size, Format::Bmp},
                                  {}};
    // Host failures are dropped step by step; anything else that goes wrong
    // is reported and ends the process inside the tick.
    return fltk::runLauncherWindow(kGameWindow, look, [&] {
        runReportingUnhandledErrors(host, kGameLauncherIdentity.title, [&] { launcher.run(); });
    });
}
