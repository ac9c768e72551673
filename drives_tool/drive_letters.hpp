// SPDX-License-Identifier: GPL-3.0-or-later
// What `kelmor-drives` shows and edits: the letters D to Z, what each holds
// now, whether the launchers' own probes find the game CD or the kit CD
// there, and the drive map's lines that name no drive; and the drive map's
// options: the emulator and the detection of discs. Edits change the
// drive map's text line by line, so its [options] and comments stay; saving
// applies them to the drive map as it is then and replaces the file
// atomically, so what other programs wrote meanwhile stays too.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/image_check.hpp"
#include "core/ini_text.hpp"
#include "core/linux_drives/linux_drive_map.hpp"
#include "core/linux_emulators/linux_emulator_choice.hpp"

namespace kelmor::drives {

// Where the editor looks; empty fields take what the launchers take.
struct DriveLettersPlace {
    std::string applicationFolder{};
    std::string configHome{};
    std::string mountsFile = std::string(linux_drives::kDefaultMountsFile);
};

// A CD that the launchers' probes find one folder above or below a folder
// the drive map names, where they find none on the folder itself.
struct NearbyCd {
    std::string_view cd;  // "game" or "kit"
    bool above = false;   // in the folder above; else in a folder within it
    std::string folder;   // the folder to give the letter instead
    std::string marker;   // the file the probes found there, "KIT\KELKIT.EXE"
    std::string between;  // the name of the letter's folder, or of the folder within it
};

struct LetterState {
    char letter = 'D';
    std::string holds;  // "nothing", "folder /x", "image /x.iso", ...
    bool gameCd = false;
    bool kitCd = false;
    // What the disc image behind the letter holds, as DOSBox will read it.
    std::optional<ImageCheck> image{};
    // For a folder of the drive map where neither CD is found.
    std::vector<NearbyCd> nearby{};
};

class DriveLetters {
public:
    // Reads the drive map file, as the launchers find it.
    explicit DriveLetters(DriveLettersPlace place = {});

    // Letters D to Z as the drive map edited so far gives them.
    std::vector<LetterState> letters() const;

    // "E=cds/kelmor.iso: why" for each line that names no drive.
    std::vector<std::string> unusableLines() const;

    // Names a folder or an image (an absolute host path) for a letter, in
    // place of what the drive map named for it. A path that no line of the
    // drive map can hold (its name holds a line end) changes nothing:
    // std::system_error (EINVAL) says why.
    void give(char letter, const std::string& hostPath);

    // Removes what the drive map names for a letter.
    void clear(char letter);

    // The emulator the bridge runs (emulator= in [options]): a program's
    // path, or a name looked up on PATH; empty for the first one found.
    std::string emulator() const;

    // The emulators present, each with what it is, in the order the
    // launchers try them; the one emulator= names first.
    std::vector<linux_emulators::PresentEmulator> emulators() const;

    // The emulator the launchers start when emulator= is `configured`.
    std::optional<linux_emulators::PresentEmulator> startedEmulator(
        const std::string& configured) const;

    // Names the emulator; empty removes the line, for the first one found. A
    // name that the line cannot hold as it is (a line end in it, blanks at
    // either end, which reading drops) changes nothing: std::system_error
    // (EINVAL) says why.
    void setEmulator(const std::string& program);

    // Whether letters the drive map does not name go to mounted discs and
    // to the images beside the programs (detect= in [options]).
    bool detects() const;
    void setDetection(bool on);

    // Reads the drive map file again, applies the letters given and cleared
    // and the options set since the last save, in their order, and writes it (creating its
    // folder) atomically, holding the configuration folder's lock: every
    // other line stays as it is in the file now. A drive map that is there
    // but cannot be read (no permission, too large) is never replaced:
    // std::system_error says so, and the edits stay for another try. After
    // a save the edited text is the saved file's.
    void save();

    // Whether the edits since the last save change what the drive map
    // says: an edit undone, or a letter given what it had, changes nothing.
    bool unsaved() const;

    // The drive map file.
    const std::string& file() const { return file_; }

    // The edited drive map's text.
    std::string text() const { return text_.text(); }

private:
    // A letter given a drive map value, or cleared (no value); or an
    // option set or removed.
    struct Edit {
        std::string_view section;
        std::string key;
        std::optional<std::string> value;
    };

    void edit(Edit change);

    DriveLettersPlace place_;
    std::string bridge_;  // the real path of the bridge beside the programs: no emulator
    std::string file_;
    IniText text_;
    IniText savedText_;        // as read, or as last saved
    std::vector<Edit> edits_;  // since the last save
};

// One line of the list: "E:  image /x.iso  (game CD found)  (no CD audio)";
// an image says whether it holds no disc, or carries CD audio or not.
std::string describeLetter(const LetterState& state);

// What the launchers start, "Starts: /usr/bin/dosbox-staging, DOSBox
// Staging 0.82.2", or why they find none, "No DOSBox found: ...", when
// emulator= is `configured`.
std::string describeStartedEmulator(const std::string& configured,
                                    const std::optional<linux_emulators::PresentEmulator>& started);

// An emulator to pick: "DOSBox Staging 0.82.2: /usr/bin/dosbox-staging".
std::string describeEmulator(const linux_emulators::PresentEmulator& emulator);

// What the letter's image holds, or why it holds nothing, in full:
// "E:  no CD audio: an .iso holds none, ..."; empty for a letter that holds
// no image.
std::string describeImage(const LetterState& state);

// Where the letter's folder is one level off a CD, and which folder to give
// instead, a line for each CD: "E:  no CD here: this is the kit CD's folder
// KIT; give the folder above it, /media/ann/KELPLIX"; empty where it is not.
std::string describeNearbyCds(const LetterState& state);

}  // namespace kelmor::drives
