#include "ui/track_texts.h"

#include <vector>

#include "conversion/language_code.h"
#include "platform/utf8_path.h"

namespace vantrel {
namespace {

std::string Joined(const std::vector<std::string>& facts) {
    std::string text;
    for (const std::string& fact : facts) {
        if (!fact.empty()) text += (text.empty() ? "" : ", ") + fact;
    }
    return text;
}

// The track's language by name; its title where the language says nothing
// or where it tells two tracks of one language apart.
std::vector<std::string> NameAndTitle(const std::string& language, const std::string& title) {
    const std::string name = LanguageName(language);
    return {name, title == name ? std::string() : title};
}

}  // namespace

std::string SubtitleTrackText(const SubtitleTrack& track, int index) {
    std::vector<std::string> facts = NameAndTitle(track.language, track.title);
    if (track.isForced) facts.emplace_back("forced");
    if (track.isForHearingImpaired) facts.emplace_back("hearing impaired");
    const std::string words = Joined(facts);
    return "Track " + std::to_string(index + 1) + (words.empty() ? "" : ": " + words) +
           (track.IsImage() ? " (image)" : "");
}

std::string SoundText(const SourceDescription& source, int soundTrack) {
    const auto& tracks = source.soundTracks;
    if (tracks.empty()) return "None";
    if (soundTrack < 0 || static_cast<size_t>(soundTrack) >= tracks.size()) soundTrack = 0;
    const SoundTrack& track = tracks[static_cast<size_t>(soundTrack)];
    std::vector<std::string> facts = NameAndTitle(track.language, track.title);
    facts.push_back(!track.layout.empty() ? track.layout
                    : track.channels > 0  ? std::to_string(track.channels) + " channels"
                                          : std::string());
    if (track.isCommentary) facts.emplace_back("commentary");
    if (track.isForVisuallyImpaired) facts.emplace_back("described");
    const std::string words = Joined(facts);
    const std::string place = "Track " + std::to_string(soundTrack + 1);
    if (tracks.size() == 1) return words.empty() ? place : words;
    return place + " of " + std::to_string(tracks.size()) + (words.empty() ? "" : ": " + words);
}

std::string DrawnSubtitlesText(const ChosenSubtitles& chosen, const SourceDescription& source) {
    using Kind = ChosenSubtitles::Kind;
    switch (chosen.kind) {
        case Kind::kNone:
            return "None";
        case Kind::kTextTrack:
        case Kind::kImageTrack:
            if (chosen.track >= 0 && static_cast<size_t>(chosen.track) < source.subtitleTracks.size()) {
                return SubtitleTrackText(source.subtitleTracks[static_cast<size_t>(chosen.track)],
                                         chosen.track);
            }
            return "None";
        case Kind::kFile:
            return FileNamePart(chosen.file);
    }
    return {};
}

}  // namespace vantrel
