// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/image_check.hpp"

#include <system_error>

#include "core/cue_sheet.hpp"
#include "core/disc_image.hpp"

namespace kelmor {

namespace {

constexpr std::string_view kAudioMode = "AUDIO";

// A failure's reason without the image's path before it and the host's
// words for its error after it, where it has words of its own.
std::string reasonOf(const std::system_error& failure, const std::string& imagePath) {
    std::string reason = failure.what();
    const std::string path = imagePath + ": ";
    if (reason.compare(0, path.size(), path) == 0) reason.erase(0, path.size());
    const std::string words = ": " + failure.code().message();
    if (reason.size() > words.size() && reason.compare(reason.size() - words.size(), words.size(), words) == 0)
        reason.erase(reason.size() - words.size());
    return reason;
}

// Why a file that a sheet names cannot be read; nothing when it can.
std::optional<std::string> unreadable(ImageFiles& files, const std::string& path, const std::string& name) {
    try {
        files.readBytes(path, 0, 0);
        return std::nullopt;
    } catch (const std::system_error& failure) {
        if (failure.code() == std::errc::no_such_file_or_directory) return missingCueFile(name);
        return "`" + name + "` cannot be read: " + failure.code().message();
    }
}

// The files of a sheet as the emulator is to read them, into `check`.
void checkSheetFiles(ImageFiles& files, const std::string& imagePath, const std::string& sheet,
                     ImageCheck& check) {
    std::vector<CueFileLine> found;
    bool respelled = false, tracksKept = false;
    for (const CueSheetFile& file : cueSheetFiles(sheet)) {
        const std::string named = cueFilePath(imagePath, file.name, files.separator());
        const std::string path = files.matchingFile(named);
        const bool cut = !check.whyLeftOut.empty();
        if (const auto why = cut ? std::nullopt : unreadable(files, path, file.name)) check.whyLeftOut = *why;
        if (!check.whyLeftOut.empty()) {
            for (const CueSheetTrack& track : file.tracks) check.leftOut.push_back(track.number);
            continue;
        }
        found.push_back({path, {}});
        respelled = respelled || path != named;
        tracksKept = tracksKept || !file.tracks.empty();
        for (const CueSheetTrack& track : file.tracks)
            if (track.mode == kAudioMode) check.audioTracks.push_back(track.number);
    }
    if (!tracksKept) {
        check.noDisc = check.whyLeftOut;
        check.leftOut.clear();
        check.whyLeftOut.clear();
        return;
    }
    if (respelled || !check.whyLeftOut.empty()) check.sheet = cueSheetWithFiles(sheet, found);
}

}  // namespace

ImageCheck checkDiscImage(ImageFiles& files, const std::string& imagePath) {
    ImageCheck check;
    check.cueSheet = isCueSheetFileName(imagePath);
    try {
        const DiscImage image(files, imagePath);
        if (check.cueSheet)
            checkSheetFiles(files, imagePath, files.readBytes(imagePath, 0, kLongestCueSheet), check);
    } catch (const std::system_error& failure) {
        const bool cueSheet = check.cueSheet;
        check = ImageCheck();
        check.cueSheet = cueSheet;
        check.noDisc = reasonOf(failure, imagePath);
    }
    return check;
}

std::string trackList(const std::vector<unsigned>& tracks) {
    if (tracks.empty()) return "no track";
    if (tracks.size() == 1) return "track " + std::to_string(tracks.front());
    bool run = true;
    for (std::size_t i = 1; i < tracks.size(); ++i) run = run && tracks[i] == tracks[i - 1] + 1;
    if (run && tracks.size() > 2)
        return "tracks " + std::to_string(tracks.front()) + " to " + std::to_string(tracks.back());
    std::string list = "tracks ";
    for (std::size_t i = 0; i < tracks.size(); ++i) {
        if (i > 0) list += i + 1 == tracks.size() ? " and " : ", ";
        list += std::to_string(tracks[i]);
    }
    return list;
}

std::string describeImageCheck(const ImageCheck& check) {
    if (!check.noDisc.empty()) return "holds no disc: " + check.noDisc;
    if (!check.cueSheet) return "no CD audio: an .iso holds none, the game runs without its music tracks";
    std::string text = !check.audioTracks.empty() ? "CD audio: " + trackList(check.audioTracks)
                       : check.leftOut.empty()    ? "no CD audio: the sheet names no audio track"
                                                  : "no CD audio";
    if (!check.leftOut.empty()) text += "; " + trackList(check.leftOut) + " left out: " + check.whyLeftOut;
    return text;
}

}  // namespace kelmor
