// SPDX-License-Identifier: GPL-3.0-or-later
#include "dosbox_bridge/emulator_outcome.hpp"

#include <cstdio>

#include "core/ascii_text.hpp"

namespace kelmor::bridge {

namespace {

// Lines kept beyond those shown: blank ones among them are not shown.
constexpr std::size_t kLinesKept = 4 * kLinesShown;

std::string shownLine(std::string_view line) {
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    return std::string(line.substr(0, kLongestLineShown));
}

std::string tenths(double seconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", seconds);
    return text;
}

}  // namespace

void OutputWatch::take(std::string_view piece) {
    for (const char c : piece) {
        if (c == '\n') {
            endLine();
        } else if (line_.size() < kLongestLineShown + 1) {
            line_ += c;
        }
    }
}

void OutputWatch::endLine() {
    if (!failure_) {
        for (const std::string_view failure : kFailureLines)
            if (line_.find(failure) != std::string::npos) failure_ = shownLine(line_);
    }
    if (!trimBlanks(line_, kBlanksAndCr).empty()) lines_.push_back(shownLine(line_));
    if (lines_.size() > kLinesKept) lines_.pop_front();
    line_.clear();
}

std::vector<std::string> OutputWatch::lastLines() const {
    std::vector<std::string> lines(lines_.begin(), lines_.end());
    if (!trimBlanks(line_, kBlanksAndCr).empty()) lines.push_back(shownLine(line_));
    if (lines.size() > kLinesShown) lines.erase(lines.begin(), lines.end() - kLinesShown);
    return lines;
}

std::optional<std::string> startFailure(const EmulatorEnd& end, const OutputWatch& output) {
    if (!end.signal.empty())
        return end.onRequest ? std::nullopt
                             : std::optional("was ended by the signal " + end.signal);
    if (end.exitCode != 0) return "ended with exit code " + std::to_string(end.exitCode);
    if (output.failureLine() && end.seconds < kQuickEndSeconds)
        return "ended after " + tenths(end.seconds) +
               " s, having printed: " + *output.failureLine();
    return std::nullopt;
}

std::string failureLine(const std::string& why, const KeptOutput& kept) {
    return "DOSBox " + why + "; " +
           (kept.logPath.empty() ? "the log of what it printed is missing: " + kept.missing
                                 : "all it printed is in " + kept.logPath);
}

std::string failureReport(const std::string& why, const std::vector<std::string>& lastLines,
                          const KeptOutput& kept) {
    std::string report = "DOSBox " + why + ".\n\n";
    if (!lastLines.empty()) {
        report += "What it printed last:\n";
        for (const std::string& line : lastLines) report += "    " + line + "\n";
        report += "\n";
    }
    return report + (kept.logPath.empty()
                         ? "The log of what it printed is missing: " + kept.missing + "."
                         : "All it printed is in the log " + kept.logPath + ".");
}

}  // namespace kelmor::bridge
