// SPDX-License-Identifier: GPL-3.0-or-later
// _Configuration on Linux: the configuration dialog on FLTK over the POSIX host;
// `_Configuration kel1` shows the game's settings, and either says which of
// them the player's dosbox-user.conf sets in their place.
#include <clocale>
#include <cstddef>
#include <string>
#include <system_error>
#include <utility>

#include "config_tool/configuration_form.hpp"
#include "config_tool/fltk_configuration_view.hpp"
#include "config_tool/user_configuration.hpp"
#include "core/fltk/fltk_message.hpp"
#include "core/posix_files/posix_atomic_file.hpp"
#include "core/posix_files/posix_config_folder.hpp"
#include "core/posix_files/posix_host_path.hpp"
#include "core/posix/posix_host.hpp"

extern const unsigned char configuration_icon_bmp[];
extern const std::size_t configuration_icon_bmp_size;

namespace {

// What the player's dosbox-user.conf, which the bridge hands DOSBox after
// the kit's configuration, sets in place of the dialog's settings; nothing
// when it is not there or cannot be read, as the bridge then hands none.
std::string userConfigurationNotice() {
    using namespace kelmor;
    const std::string path = posix_files::joinHostPath(
        posix_files::kitConfigFolder(posix_files::userConfigHome()), kUserConfigurationName);
    try {
        return overridesNotice(posix_files::readWholeFile(path), path);
    } catch (const std::system_error&) {
        return {};
    }
}

}  // namespace

int main(int argc, char** argv) {
    using namespace kelmor;
    // The count is a number by the user's locale (its decimal point).
    std::setlocale(LC_NUMERIC, "");
    posix::PosixHostOptions options;
    options.arguments.assign(argv + 1, argv + argc);
    posix::PosixHost host(std::move(options));
    host.setMessagePresenter(fltk::showMessage);
    // "kel1" opens the game's settings, anything else the kit's.
    return fltk::runConfigurationDialog(
        host, configurationForm(host.commandLine()),
        {configuration_icon_bmp, configuration_icon_bmp_size, fltk::EmbeddedPicture::Format::Bmp},
        userConfigurationNotice());
}
