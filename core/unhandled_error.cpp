// SPDX-License-Identifier: GPL-3.0-or-later
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

std::string unhandledErrorReport(const std::exception& error) {
    const std::string description = error.what();
    return "Error: " + (description.empty() ? std::string("unknown failure") : description);
}

void runReportingUnhandledErrors(Host& host, std::string_view programTitle,
                                 const std::function<void()>& sequence) {
    std::string report;
    try {
        sequence();
        return;
    } catch (const std::system_error& error) {
        report = unhandledErrorReport(error);
    } catch (const std::exception& error) {
        report = unhandledErrorReport(error);
    }
    // Shown once the exception is gone: a lack of memory has been given back.
    host.messageBox(report, MessageStyle::Critical, std::string(programTitle));
    host.endProcess(kUnhandledErrorExitCode);
}

}  // namespace kelmor
