#include "conversion/track_plan.h"

#include "conversion/ascii_case.h"

#include "conversion/language_code.h"

namespace vantrel {
namespace {

// A track made to be listened to beside the film, not as its sound.
bool IsExtraSound(const SoundTrack& track) {
    if (track.isCommentary || track.isForVisuallyImpaired) return true;
    // Many files flag nothing and only say so in the title.
    const std::string title = AsciiLower(track.title);
    for (const char* word : {"commentary", "kommentar", "commentaire", "comentario", "commento",
                             "audio description", "audiodeskription", "audiodescription"}) {
        if (title.find(word) != std::string::npos) return true;
    }
    return false;
}

}  // namespace

int ChooseSoundTrack(const std::vector<SoundTrack>& tracks, const std::string& preferredLanguage) {
    const int count = static_cast<int>(tracks.size());
    const auto first = [&](auto&& wanted) {
        for (int i = 0; i < count; ++i) {
            if (wanted(tracks[static_cast<size_t>(i)])) return i;
        }
        return -1;
    };
    const int preferred = first([&](const SoundTrack& t) {
        return !IsExtraSound(t) && SameLanguage(t.language, preferredLanguage);
    });
    if (preferred >= 0) return preferred;
    const int flagged = first([](const SoundTrack& t) { return !IsExtraSound(t) && t.isDefault; });
    if (flagged >= 0) return flagged;
    const int main = first([](const SoundTrack& t) { return !IsExtraSound(t); });
    return main >= 0 ? main : 0;
}

ChosenSubtitles ChooseSubtitles(const SubtitleChoice& choice, const SourceDescription& source,
                                int soundTrack, const std::vector<std::string>& besideFiles,
                                const std::string& preferredLanguage) {
    using Kind = ChosenSubtitles::Kind;
    const auto& tracks = source.subtitleTracks;
    const auto trackChoice = [&](size_t index) {
        return ChosenSubtitles{tracks[index].IsImage() ? Kind::kImageTrack : Kind::kTextTrack,
                               static_cast<int>(index), {}};
    };
    // Subtitles are drawn on a picture; a source without one has none to draw on.
    if (!source.hasPicture) return {};
    switch (choice.mode) {
        case SubtitleMode::kOff: return {};
        case SubtitleMode::kFile: return {Kind::kFile, 0, choice.file};
        case SubtitleMode::kTrack:
            if (choice.track >= 0 && static_cast<size_t>(choice.track) < tracks.size()) {
                return trackChoice(static_cast<size_t>(choice.track));
            }
            return {};
        case SubtitleMode::kAuto: break;
    }
    if (!besideFiles.empty()) return {Kind::kFile, 0, besideFiles.front()};
    for (size_t i = 0; i < tracks.size(); ++i) {
        if (tracks[i].isForced) return trackChoice(i);
    }
    const std::string soundLanguage =
        source.hasSound() && soundTrack >= 0 && static_cast<size_t>(soundTrack) < source.soundTracks.size()
            ? CanonicalLanguage(source.soundTracks[static_cast<size_t>(soundTrack)].language)
            : std::string();
    const std::string wanted = CanonicalLanguage(preferredLanguage);
    if (soundLanguage.empty() || wanted.empty() || soundLanguage == wanted) return {};
    // A full track: not one for the hearing impaired when a plain one is there.
    int found = -1;
    for (size_t i = 0; i < tracks.size(); ++i) {
        if (!SameLanguage(tracks[i].language, wanted)) continue;
        if (!tracks[i].isForHearingImpaired) return trackChoice(i);
        if (found < 0) found = static_cast<int>(i);
    }
    return found >= 0 ? trackChoice(static_cast<size_t>(found)) : ChosenSubtitles{};
}

}  // namespace vantrel
