#include "ui/track_texts.h"

#include <vector>

#include "conversion/language_code.h"
#include "platform/translation.h"
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
    // A title that only names the language, in any of the names the
    // language goes by, says nothing more.
    return {name, title == name || SameLanguage(title, language) ? std::string() : title};
}

}  // namespace

std::string SubtitleTrackText(const SubtitleTrack& track, int index) {
    std::vector<std::string> facts = NameAndTitle(track.language, track.title);
    // TRANSLATORS: said of a subtitle track that is shown even where the speech is in the viewer's language.
    if (track.isForced) facts.push_back(Tr("forced"));
    // TRANSLATORS: said of a subtitle track that also tells the sounds, for the deaf and hard of hearing.
    if (track.isForHearingImpaired) facts.push_back(Tr("hearing impaired"));
    const std::string words = Joined(facts);
    const std::string number = std::to_string(index + 1);
    std::string text;
    if (words.empty()) {
        // TRANSLATORS: a track of a movie, of which nothing more is known; {1} is its number.
        text = Fill(Tr("Track {1}"), {number});
    } else {
        // TRANSLATORS: a subtitle track; {1} is its number, {2} what is known of it, such as "German, forced".
        text = Fill(Tr("Track {1}: {2}"), {number, words});
    }
    // TRANSLATORS: {1} is a subtitle track, such as "Track 2: English"; its subtitles are pictures, not text.
    return track.IsImage() ? Fill(Tr("{1} (image)"), {text}) : text;
}

std::string SoundText(const SourceDescription& source, int soundTrack) {
    const auto& tracks = source.soundTracks;
    // TRANSLATORS: the movie has no sound.
    if (tracks.empty()) return Tr("None");
    if (soundTrack < 0 || static_cast<size_t>(soundTrack) >= tracks.size()) soundTrack = 0;
    const SoundTrack& track = tracks[static_cast<size_t>(soundTrack)];
    std::vector<std::string> facts = NameAndTitle(track.language, track.title);
    if (!track.layout.empty()) {
        facts.push_back(track.layout);
    } else if (track.channels > 0) {
        // TRANSLATORS: a sound track's number of channels. English says "channels" whatever the count.
        facts.push_back(Fill(TrN("{1} channels", "{1} channels", static_cast<unsigned long>(track.channels)),
                             {std::to_string(track.channels)}));
    }
    // TRANSLATORS: said of a sound track in which someone talks about the movie.
    if (track.isCommentary) facts.push_back(Tr("commentary"));
    // TRANSLATORS: said of a sound track that describes what is seen, for the blind.
    if (track.isForVisuallyImpaired) facts.push_back(Tr("described"));
    const std::string words = Joined(facts);
    const std::string number = std::to_string(soundTrack + 1);
    if (tracks.size() == 1) return words.empty() ? Fill(Tr("Track {1}"), {number}) : words;
    const std::string count = std::to_string(tracks.size());
    // TRANSLATORS: a sound track; {1} is its number, {2} how many the movie has.
    if (words.empty()) return Fill(Tr("Track {1} of {2}"), {number, count});
    // TRANSLATORS: a sound track; {1} is its number, {2} how many the movie has, {3} what is known of it, such
    // as "German, 5.1(side)".
    return Fill(Tr("Track {1} of {2}: {3}"), {number, count, words});
}

std::string DrawnSubtitlesText(const ChosenSubtitles& chosen, const SourceDescription& source) {
    using Kind = ChosenSubtitles::Kind;
    switch (chosen.kind) {
        case Kind::kNone:
            // TRANSLATORS: no subtitles are drawn.
            return Tr("None");
        case Kind::kTextTrack:
        case Kind::kImageTrack:
            if (chosen.track >= 0 && static_cast<size_t>(chosen.track) < source.subtitleTracks.size()) {
                return SubtitleTrackText(source.subtitleTracks[static_cast<size_t>(chosen.track)],
                                         chosen.track);
            }
            return Tr("None");
        case Kind::kFile:
            return FileNamePart(chosen.file);
    }
    return {};
}

}  // namespace vantrel
