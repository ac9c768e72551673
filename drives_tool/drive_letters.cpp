// SPDX-License-Identifier: GPL-3.0-or-later
#include "drives_tool/drive_letters.hpp"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <optional>
#include <system_error>

#include "core/ascii_text.hpp"
#include "core/cd_probes.hpp"
#include "core/cd_search.hpp"
#include "core/posix_files/posix_atomic_file.hpp"
#include "core/posix_files/posix_config_folder.hpp"
#include "core/linux_drives/linux_drives.hpp"
#include "core/posix_files/posix_host_path.hpp"
#include "core/posix/posix_host.hpp"
#include "core/posix_files/posix_settings_lock.hpp"

namespace kelmor::drives {

namespace {

constexpr std::string_view kSection = "drives";
constexpr std::string_view kOptions = "options";
constexpr std::string_view kEmulator = "emulator";
constexpr std::string_view kDetect = "detect";
// The folders within a folder that are looked into for a CD one level down,
// at most, in name order: a folder with more is seldom the one above a CD.
constexpr std::size_t kFoldersLookedInto = 64;

// The drive map's text; a file that is not there is an empty one. Any
// other failure goes on up: that file must not be replaced by a text that
// never held its lines.
std::string driveMapText(const std::string& file) {
    try {
        return posix_files::readWholeFile(file);
    } catch (const std::system_error& failure) {
        if (failure.code() == std::errc::no_such_file_or_directory) return {};
        throw std::system_error(failure.code(),
                                file + " could not be read, so it is left as it is");
    }
}

// What the dialog shows at first: a drive map it cannot read shows as none.
std::string shownDriveMapText(const std::string& file) {
    try {
        return driveMapText(file);
    } catch (const std::system_error&) {
        return {};
    }
}

// A path as a message shows it, its line ends written as \n and \r.
std::string withVisibleLineEnds(const std::string& path) {
    std::string shown;
    for (char c : path) shown += c == '\n' ? "\\n" : c == '\r' ? "\\r" : std::string(1, c);
    return shown;
}

// A drive map value that reads back as the path: in double quotes when
// blanks at either end would be dropped.
std::string valueOf(const std::string& path) {
    const bool blankEnds = !path.empty() && isBlank(path.back());
    return blankEnds ? "\"" + path + "\"" : path;
}

// The marker file of the first probe on `letter` that hits, after its
// "L:\", as "KIT\KELKIT.EXE"; each probe looked for within the letter's
// folder `within` when one is named.
std::optional<std::string> hitMarker(Host& host, const std::vector<CdProbe>& probes, char letter,
                                     const std::string& within = {}) {
    for (const CdProbe& probe : probes) {
        if (probe.markerFile[0] != letter) continue;
        const std::string marker = probe.markerFile.substr(3);
        const std::string path = within.empty()
                                     ? probe.markerFile
                                     : std::string{letter, ':', '\\'} + within + "\\" + marker;
        if (host.fileExist(path)) return marker;
    }
    return std::nullopt;
}

// The folders within a host folder, in name order, but hidden ones and
// those a Windows path cannot name; at most kFoldersLookedInto.
std::vector<std::string> foldersWithin(const std::string& folder) {
    std::vector<std::string> names;
    std::error_code error;
    for (std::filesystem::directory_iterator entry(folder, error), end; !error && entry != end;
         entry.increment(error)) {
        const std::string name = entry->path().filename().string();
        if (name[0] != '.' && name.find('\\') == std::string::npos && entry->is_directory(error))
            names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    if (names.size() > kFoldersLookedInto) names.resize(kFoldersLookedInto);
    return names;
}

// A CD the launchers look for, and their probes of it.
struct CdKind {
    std::string_view name;
    std::vector<CdProbe> probes;
};

// For each CD, where the probes find it with `letter` on the folder above
// `folder`, else on the first folder within it that holds it. The folder
// is the one behind the letter on `host`; the folder above goes behind the
// letter on a host of its own.
std::vector<NearbyCd> nearbyCds(Host& host, const DriveLettersPlace& place, char letter,
                                const std::string& folder, const std::vector<CdKind>& cds) {
    std::optional<posix::PosixHost> above;
    const std::string parent = folder.substr(0, std::max<std::size_t>(folder.rfind('/'), 1));
    if (folder != "/")
        above.emplace(posix::PosixHostOptions{.applicationFolder = place.applicationFolder,
                                              .configHome = place.configHome,
                                              .driveMapText = "[options]\ndetect=no\n[drives]\n" +
                                                              std::string(1, letter) + "=" +
                                                              valueOf(parent) + "\n"});
    const std::vector<std::string> within = foldersWithin(folder);
    std::vector<NearbyCd> nearby;
    for (const CdKind& cd : cds) {
        if (const auto marker = above ? hitMarker(*above, cd.probes, letter) : std::nullopt) {
            nearby.push_back(
                {cd.name, true, parent, *marker, folder.substr(folder.rfind('/') + 1)});
            continue;
        }
        for (const std::string& name : within)
            if (const auto marker = hitMarker(host, cd.probes, letter, name)) {
                nearby.push_back(
                    {cd.name, false, posix_files::joinHostPath(folder, name), *marker, name});
                break;
            }
    }
    return nearby;
}

std::string holdsOf(const linux_drives::DriveMap& map, char letter) {
    const auto root = map.root(letter);
    if (!root) return "nothing";
    switch (*map.source(letter)) {
        case linux_drives::DriveSource::MountedDisc: return "mounted disc " + *root;
        case linux_drives::DriveSource::ImageBeside:
            return "image beside the programs " + root->substr(root->rfind('/') + 1);
        case linux_drives::DriveSource::DriveMap: break;
    }
    return (map.image(letter) ? "image " : "folder ") + *root;
}

// One change. A letter: what the drive map named for it goes, and the new
// value, if any, takes its place. An option: its line takes the new value
// where it stands, or every line of it goes.
void apply(IniText& text, std::string_view section, const std::string& key,
           const std::optional<std::string>& value) {
    if (section == kSection || !value) text.removeEntries(section, key);
    if (value) text.setValue(section, key, *value);
}

// The real path of the bridge in the application folder, which is never
// an emulator; empty when there is none.
std::string bridgeIn(std::string folder) {
    if (folder.empty()) {
        const std::string program = posix_files::realHostPath("/proc/self/exe").value_or("");
        folder = program.substr(0, program.rfind('/'));
    }
    return posix_files::realHostPath(posix_files::joinHostPath(folder, "dosbox")).value_or("");
}

std::system_error refusal(const std::string& path, const std::string& why) {
    return std::system_error(EINVAL, std::generic_category(),
                             withVisibleLineEnds(path) + ": " + why);
}

}  // namespace

DriveLetters::DriveLetters(DriveLettersPlace place)
    : place_(std::move(place)),
      bridge_(bridgeIn(place_.applicationFolder)),
      file_(posix_files::joinHostPath(
          posix_files::kitConfigFolder(posix_files::userConfigHome(place_.configHome)),
          linux_drives::kDriveMapFileName)),
      text_(shownDriveMapText(file_)),
      savedText_(text_) {}

std::vector<LetterState> DriveLetters::letters() const {
    posix::PosixHost host({.applicationFolder = place_.applicationFolder,
                           .configHome = place_.configHome,
                           .driveMapText = text_.text(),
                           .mountsFile = place_.mountsFile});
    const linux_drives::Drives& drives = host.drives();
    const std::vector<CdKind> cds{{"game", gameCdProbes()}, {"kit", kitCdProbes()}};
    // The images as the emulator the launchers start will read them; as
    // every DOSBox reads them where there is none.
    const auto started = startedEmulator(emulator());
    const EmulatorDialect reader = started ? started->identity.dialect : EmulatorDialect::Unknown;
    std::vector<LetterState> states;
    for (char letter = kFirstCdLetter; letter <= kLastCdLetter; ++letter) {
        LetterState& state =
            states.emplace_back(LetterState{letter, holdsOf(drives.map(), letter),
                                            hitMarker(host, cds[0].probes, letter).has_value(),
                                            hitMarker(host, cds[1].probes, letter).has_value()});
        const bool folderOfTheMap =
            drives.map().source(letter) == linux_drives::DriveSource::DriveMap;
        if (const auto image = drives.map().image(letter))
            state.image = checkDiscImage(drives.imageFiles(), *image, reader);
        else if (folderOfTheMap && !state.gameCd && !state.kitCd)
            state.nearby = nearbyCds(host, place_, letter, *drives.map().root(letter), cds);
    }
    return states;
}

std::vector<std::string> DriveLetters::unusableLines() const {
    std::vector<std::string> lines;
    const linux_drives::DriveMap map =
        linux_drives::DriveMap::parse(text_.text(), "", {posix_files::userHomeFolder(), {}});
    for (const auto& line : map.unusableLines())
        lines.push_back(line.key + "=" + line.value + ": " + line.why);
    return lines;
}

void DriveLetters::give(char letter, const std::string& hostPath) {
    if (hostPath.find_first_of("\r\n") != std::string::npos)
        throw refusal(hostPath,
                      "its name holds a line end, and the drive map names each drive on one line");
    edit({kSection, std::string(1, letter), valueOf(hostPath)});
}

void DriveLetters::clear(char letter) { edit({kSection, std::string(1, letter), std::nullopt}); }

std::string DriveLetters::emulator() const {
    return std::string(trimBlanks(text_.value(kOptions, kEmulator).value_or("")));
}

std::vector<linux_emulators::PresentEmulator> DriveLetters::emulators() const {
    return linux_emulators::identifiedEmulators(
        linux_emulators::emulatorSearch(emulator(), bridge_));
}

std::optional<linux_emulators::PresentEmulator> DriveLetters::startedEmulator(
    const std::string& configured) const {
    return linux_emulators::chooseEmulator(linux_emulators::emulatorSearch(configured, bridge_));
}

void DriveLetters::setEmulator(const std::string& program) {
    const std::string quoted = "\"" + program + "\"";
    if (program.find_first_of("\r\n") != std::string::npos)
        throw refusal(quoted, "its name holds a line end, and the drive map names it on one line");
    if (trimBlanks(program) != program)
        throw refusal(quoted,
                      "its name begins or ends with a blank, which the drive map would drop");
    edit({kOptions, std::string(kEmulator),
          program.empty() ? std::nullopt : std::optional(program)});
}

bool DriveLetters::detects() const {
    return linux_drives::DriveMap::parse(text_.text(), "").detects();
}

void DriveLetters::setDetection(bool on) {
    edit({kOptions, std::string(kDetect), on ? "yes" : "no"});
}

void DriveLetters::edit(Edit change) {
    apply(text_, change.section, change.key, change.value);
    edits_.push_back(std::move(change));
}

void DriveLetters::save() {
    const std::string folder = file_.substr(0, file_.rfind('/'));
    posix_files::createFolders(folder, 0700);
    const posix_files::SettingsLock lock(folder);
    // The dialog's own changes go onto the drive map as it is now: what
    // other programs wrote since the dialog read it stays. Where they
    // changed a letter that the dialog changed too, the dialog's change
    // wins: the user made it, and saving it is the user's latest word.
    IniText current(driveMapText(file_));
    for (const Edit& change : edits_) apply(current, change.section, change.key, change.value);
    posix_files::writeFileAtomically(file_, current.text());
    text_ = std::move(current);
    savedText_ = text_;
    edits_.clear();
}

bool DriveLetters::unsaved() const {
    // What a text says for the key of an edit: the detection as on or off,
    // whether it is written or the default; any other value without blanks.
    auto says = [](const IniText& text, const Edit& change) -> std::optional<std::string> {
        if (change.section == kOptions && change.key == kDetect)
            return linux_drives::DriveMap::parse(text.text(), "").detects() ? "yes" : "no";
        const auto value = text.value(change.section, change.key);
        return value ? std::optional(std::string(trimBlanks(*value))) : std::nullopt;
    };
    return std::any_of(edits_.begin(), edits_.end(), [&](const Edit& change) {
        return says(text_, change) != says(savedText_, change);
    });
}

std::string describeLetter(const LetterState& state) {
    std::string line = std::string(1, state.letter) + ":  " + state.holds;
    if (state.gameCd) line += "  (game CD found)";
    if (state.kitCd) line += "  (kit CD found)";
    if (const auto& image = state.image) {
        line += !image->noDisc.empty()        ? "  (holds no disc)"
                : !image->audioTracks.empty() ? "  (CD audio)"
                                              : "  (no CD audio)";
        if (!image->leftOut.empty()) line.insert(line.size() - 1, ", tracks left out");
    }
    for (const NearbyCd& cd : state.nearby)
        line += "  (" + std::string(cd.cd) + " CD one folder " + (cd.above ? "up)" : "down)");
    return line;
}

std::string describeStartedEmulator(
    const std::string& configured, const std::optional<linux_emulators::PresentEmulator>& started) {
    if (started)
        return "Starts: " + started->path + ", " +
               (started->identity.name.empty() ? "which does not say it is DOSBox"
                                               : started->identity.name);
    if (!configured.empty())
        return "No DOSBox found: " + withVisibleLineEnds(configured) +
               " is not an executable program.";
    return "No DOSBox found (" + std::string(linux_emulators::kEmulatorsLookedFor) +
           "). Install DOSBox (sudo apt install dosbox), or name one above.";
}

std::string describeEmulator(const linux_emulators::PresentEmulator& emulator) {
    return (emulator.identity.name.empty() ? "Not known as DOSBox" : emulator.identity.name) +
           ": " + emulator.path;
}

std::string describeImage(const LetterState& state) {
    if (!state.image) return {};
    return std::string(1, state.letter) + ":  " + describeImageCheck(*state.image);
}

std::string describeNearbyCds(const LetterState& state) {
    std::string lines;
    for (const NearbyCd& cd : state.nearby) {
        const std::string first = cd.marker.substr(0, cd.marker.find('\\'));
        const std::string what = "the " + std::string(cd.cd) + " CD's ";
        std::string line = std::string(1, state.letter) + ":  no CD here: ";
        if (!cd.above)
            line += what + cd.marker + " is in its folder " + cd.between + "; give that folder, ";
        else if (first != cd.marker && equalIgnoringAsciiCase(first, cd.between))
            line += "this is " + what + "folder " + first + "; give the folder above it, ";
        else
            line += what + cd.marker + " is in the folder above; give that folder, ";
        lines += (lines.empty() ? "" : "\n") + line + cd.folder;
    }
    return lines;
}

}  // namespace kelmor::drives
