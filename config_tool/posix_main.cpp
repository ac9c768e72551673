// SPDX-License-Identifier: GPL-3.0-or-later
// _Configuration on Linux: the configuration dialog on FLTK over the POSIX host;
// `_Configuration kel1` shows the game's settings.
#include <clocale>
#include <cstddef>
#include <utility>

#include "config_tool/configuration_form.hpp"
#include "config_tool/fltk_configuration_view.hpp"
#include "core/fltk/fltk_message.hpp"
#include "core/posix/posix_host.hpp"

extern const unsigned char configuration_icon_bmp[];
extern const std::size_t configuration_icon_bmp_size;

int main(int argc, char** argv) {
    using namespace kelmor;
    // The count is a number by the user's locale (its decimal point).
    std::setlocale(LC_NUMERIC, "");
    posix::PosixHostOptions options;
    options.arguments.assign(argv + 1, argv + argc);
    posix::PosixHost host(std::move(options));
    fltk::presentMessagesWithFltk(host);
    // "kel1" opens the game's settings, anything else the kit's.
    return fltk::runConfigurationDialog(
        host, configurationForm(host.commandLine()),
        {configuration_icon_bmp, configuration_icon_bmp_size,
               fltk::EmbeddedPicture::Format::Bmp});
}
