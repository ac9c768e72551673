#include "drives_tool/drive_letters.hpp"

#include <optional>
#include <system_error>

#include "core/cd_search.hpp"
#include "core/posix/atomic_file.hpp"
#include "core/posix/config_folder.hpp"
#include "core/posix/posix_host.hpp"
#include "core/posix/windows_path.hpp"
#include "game_launcher/game_launch.hpp"
#include "kit_launcher/kit_texts.hpp"

namespace kelmor::drives {

namespace {

constexpr std::string_view kSection = "drives";

// The drive map's text; a file that is not there is an empty one. Any other
// failure is kept in `unread`: that file must not be replaced by a text
// that never held its lines.
std::string textOrNothing(const std::string& file, std::optional<std::system_error>& unread) {
    try {
        return posix::readWholeFile(file);
    } catch (const std::system_error& failure) {
        if (failure.code() != std::errc::no_such_file_or_directory) unread = failure;
        return {};
    }
}

// A drive map value that reads back as the path: in double quotes when
// blanks at either end would be dropped.
std::string valueOf(const std::string& path) {
    const bool blankEnds = !path.empty() && (path.back() == ' ' || path.back() == '\t');
    return blankEnds ? "\"" + path + "\"" : path;
}

// Whether one of the probes on `letter` hits.
bool foundOn(Host& host, const std::vector<CdProbe>& probes, char letter) {
    for (const CdProbe& probe : probes)
        if (probe.markerFile[0] == letter && host.fileExist(probe.markerFile)) return true;
    return false;
}

std::string holdsOf(const posix::DriveMap& map, char letter) {
    const auto root = map.root(letter);
    if (!root) return "nothing";
    switch (*map.source(letter)) {
        case posix::DriveSource::MountedDisc: return "mounted disc " + *root;
        case posix::DriveSource::ImageBeside:
            return "image beside the programs " + root->substr(root->rfind('/') + 1);
        case posix::DriveSource::DriveMap: break;
    }
    return (map.image(letter) ? "image " : "folder ") + *root;
}

}  // namespace

DriveLetters::DriveLetters(DriveLettersPlace place)
    : place_(std::move(place)),
      file_(posix::joinHostPath(posix::kitConfigFolder(posix::userConfigHome(place_.configHome)),
                                posix::kDriveMapFileName)),
      text_(textOrNothing(file_, unread_)) {}

std::vector<LetterState> DriveLetters::letters() const {
    posix::PosixHost host({.applicationFolder = place_.applicationFolder,
                           .configHome = place_.configHome,
                           .driveMapText = text_.text(),
                           .mountsFile = place_.mountsFile});
    const posix::DriveMap map = posix::DriveMap::fromText(
        text_.text(), place_.mountsFile, host.hostPath(host.applicationFolder()).value_or(""));
    const auto game = gameCdProbes();
    const auto kit = kitCdProbes();
    std::vector<LetterState> states;
    for (char letter = kFirstCdLetter; letter <= kLastCdLetter; ++letter)
        states.push_back({letter, holdsOf(map, letter), foundOn(host, game, letter), foundOn(host, kit, letter)});
    return states;
}

std::vector<std::string> DriveLetters::unusableLines() const {
    std::vector<std::string> lines;
    const posix::DriveMap map = posix::DriveMap::parse(text_.text(), "", {posix::userHomeFolder(), {}});
    for (const auto& line : map.unusableLines()) lines.push_back(line.key + "=" + line.value + ": " + line.why);
    return lines;
}

void DriveLetters::give(char letter, const std::string& hostPath) {
    clear(letter);
    text_.setValue(kSection, std::string(1, letter), valueOf(hostPath));
}

void DriveLetters::clear(char letter) {
    text_.removeEntries(kSection, std::string(1, letter));
}

void DriveLetters::save() const {
    if (unread_)
        throw std::system_error(unread_->code(),
                                file_ + " could not be read, so it is left as it is");
    posix::createFolders(file_.substr(0, file_.rfind('/')), 0700);
    posix::writeFileAtomically(file_, text_.text());
}

std::string describeLetter(const LetterState& state) {
    std::string line = std::string(1, state.letter) + ":  " + state.holds;
    if (state.gameCd) line += "  (game CD found)";
    if (state.kitCd) line += "  (kit CD found)";
    return line;
}

}  // namespace kelmor::drives
