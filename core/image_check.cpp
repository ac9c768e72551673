// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/image_check.hpp"

#include <system_error>

#include "core/cue_audio.hpp"
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
    if (reason.size() > words.size() &&
        reason.compare(reason.size() - words.size(), words.size(), words) == 0)
        reason.erase(reason.size() - words.size());
    return reason;
}

// Why a file that a sheet names cannot be read; nothing when it can, with
// its first `count` bytes in `start`.
std::optional<std::string> unreadable(ImageFiles& files, const std::string& path,
                                      const std::string& name, std::size_t count,
                                      std::string& start) {
    try {
        start = files.readBytes(path, 0, count);
        return std::nullopt;
    } catch (const std::system_error& failure) {
        if (failure.code() == std::errc::no_such_file_or_directory) return missingCueFile(name);
        return "`" + name + "` cannot be read: " + failure.code().message();
    }
}

std::vector<unsigned> audioTracksOf(const CueSheetFile& file) {
    std::vector<unsigned> tracks;
    for (const CueSheetTrack& track : file.tracks)
        if (track.mode == kAudioMode) tracks.push_back(track.number);
    return tracks;
}

// Why the emulator leaves out a file of a sheet, found at `line.name`, with
// the tracks from it on; nothing where it reads the file, into `check` its
// audio tracks, and into `line` the type it is to be declared where that
// changes.
std::optional<std::string> whyLeftOut(ImageFiles& files, const CueSheetFile& file,
                                      EmulatorDialect dialect, CueFileLine& line,
                                      ImageCheck& check) {
    const std::vector<unsigned> audio = audioTracksOf(file);
    std::string start;
    if (auto why =
            unreadable(files, line.name, file.name, audio.empty() ? 0 : kAudioContentBytes, start))
        return why;
    if (audio.empty()) return std::nullopt;
    const AudioFileReading reading = readAudioFile(dialect, file, audioContentOf(start));
    if (!reading.refusal.empty()) return reading.refusal;
    if (reading.asBinary) {
        line.type = "BINARY";
        if (check.mended.empty() || check.mended.back().declared != file.type)
            check.mended.push_back({{}, file.type});
        auto& mended = check.mended.back().tracks;
        mended.insert(mended.end(), audio.begin(), audio.end());
    }
    check.audioTracks.insert(check.audioTracks.end(), audio.begin(), audio.end());
    return std::nullopt;
}

// The files of a sheet as the emulator is to read them, into `check`.
void checkSheetFiles(ImageFiles& files, const std::string& imagePath, const std::string& sheet,
                     EmulatorDialect dialect, ImageCheck& check) {
    std::vector<CueFileLine> kept;
    bool changed = false, tracksKept = false;
    for (const CueSheetFile& file : cueSheetFiles(sheet)) {
        const std::string named = cueFilePath(imagePath, file.name, files.separator());
        CueFileLine line{files.matchingFile(named), {}};
        if (check.whyLeftOut.empty())
            check.whyLeftOut = whyLeftOut(files, file, dialect, line, check).value_or("");
        if (!check.whyLeftOut.empty()) {
            for (const CueSheetTrack& track : file.tracks) check.leftOut.push_back(track.number);
            continue;
        }
        changed = changed || line.name != named || !line.type.empty();
        tracksKept = tracksKept || !file.tracks.empty();
        kept.push_back(std::move(line));
    }
    if (!tracksKept) {
        const std::string why = check.whyLeftOut;
        check = ImageCheck();
        check.cueSheet = true;
        check.noDisc = why;
        return;
    }
    if (changed || !check.whyLeftOut.empty()) check.sheet = cueSheetWithFiles(sheet, kept);
}

}  // namespace

ImageCheck checkDiscImage(ImageFiles& files, const std::string& imagePath,
                          EmulatorDialect dialect) {
    ImageCheck check;
    check.cueSheet = isCueSheetFileName(imagePath);
    try {
        const DiscImage image(files, imagePath);
        if (check.cueSheet)
            checkSheetFiles(files, imagePath,
                            files.sheetText(files.readBytes(imagePath, 0, kLongestCueSheet)),
                            dialect, check);
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

std::string describeMended(const MendedTracks& mended, const std::string& image) {
    return trackList(mended.tracks) + (image.empty() ? "" : " of " + image) +
           (mended.tracks.size() == 1 ? " is" : " are") + " raw CD audio declared " +
           mended.declared + "; handed to DOSBox as BINARY";
}

std::string describeImageCheck(const ImageCheck& check) {
    if (!check.noDisc.empty()) return "holds no disc: " + check.noDisc;
    if (!check.cueSheet)
        return "no CD audio: an .iso holds none, the game runs without its music tracks";
    std::string text = !check.audioTracks.empty() ? "CD audio: " + trackList(check.audioTracks)
                       : check.leftOut.empty()    ? "no CD audio: the sheet names no audio track"
                                                  : "no CD audio";
    for (const MendedTracks& mended : check.mended) text += "; " + describeMended(mended);
    if (!check.leftOut.empty()) text += "; " + describeLeftOut(check);
    return text;
}

std::string describeLeftOut(const ImageCheck& check, const std::string& image) {
    return trackList(check.leftOut) + (image.empty() ? "" : " of " + image) +
           " left out: " + check.whyLeftOut;
}

}  // namespace kelmor
