// _Configuration on Linux: the configuration dialog on FLTK over the POSIX host.
#include <clocale>
#include <cstddef>
#include <string>
#include <utility>
#include <system_error>
#include <vector>

#include "config_tool/fltk_configuration_view.hpp"
#include "core/fltk/fltk_message.hpp"
#include "core/posix/posix_host.hpp"
#include "core/program_identity.hpp"

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
    try {
        return fltk::runConfigurationDialog(
            host, {configuration_icon_bmp, configuration_icon_bmp_size,
                   fltk::EmbeddedPicture::Format::Bmp});
    } catch (const std::system_error& failure) {
        // A settings store that cannot be written: said plainly, not lost.
        host.messageBox(std::to_string(failure.code().value()) + ": " + failure.code().message(),
                        MessageStyle::Critical, std::string(kConfigurationIdentity.title));
        return 1;
    }
}
