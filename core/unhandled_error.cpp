#include "core/unhandled_error.hpp"

#include "core/host.hpp"

namespace kelmor {
namespace {

// The text the failing operation gave besides the error itself. A
// system_error's what() is that text, ": " and the description.
std::string errorSubject(const std::system_error& error) {
    const std::string what = error.what();
    const std::string description = error.code().message();
    const std::string tail = ": " + description;
    if (what.size() >= tail.size() &&
        what.compare(what.size() - tail.size(), tail.size(), tail) == 0)
        return what.substr(0, what.size() - tail.size());
    return what == description ? std::string() : what;
}

}  // namespace

std::string unhandledErrorReport(const std::system_error& error) {
    std::string report =
        "Error " + std::to_string(error.code().value()) + ": " + error.code().message();
    const std::string subject = errorSubject(error);
    if (!subject.empty()) report += " (" + subject + ")";
    return report;
}

void runReportingUnhandledErrors(Host& host, std::string_view programTitle,
                                 const std::function<void()>& sequence) {
    try {
        sequence();
    } catch (const std::system_error& error) {
        host.messageBox(unhandledErrorReport(error), MessageStyle::Critical,
                        std::string(programTitle));
        host.endProcess(kUnhandledErrorExitCode);
    }
}

}  // namespace kelmor
