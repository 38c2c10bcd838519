#pragma once

#include <string>
#include <vector>

#include "conversion/subtitle_choice.h"
#include "parse/source_description.h"

namespace vantrel {

// The subtitles a conversion draws, once the choice is applied to a source.
struct ChosenSubtitles {
    enum class Kind { kNone, kTextTrack, kImageTrack, kFile };
    Kind kind = Kind::kNone;
    int track = 0;     // kTextTrack, kImageTrack: counted among the subtitle tracks
    std::string file;  // kFile: the subtitle file as the user has it

    bool operator==(const ChosenSubtitles&) const = default;
};

// What a conversion takes of a source's tracks.
struct TrackPlan {
    int soundTrack = 0;  // counted among the sound tracks; meaningless without sound
    ChosenSubtitles subtitles;

    bool operator==(const TrackPlan&) const = default;
};

// The sound track to convert: the main track in the preferred language, else
// the one flagged default, else the first. A commentary, or a track described
// for the visually impaired, is taken only when nothing else is there.
int ChooseSoundTrack(const std::vector<SoundTrack>& tracks, const std::string& preferredLanguage);

// The subtitles drawn for `choice`. `besideFiles` are the subtitle files found
// beside the source (SubtitleFilesBeside), best first. Auto takes a file
// beside the source; else a track flagged forced; else, when the sound's
// language is known and is not the preferred one, a full track in the
// preferred language; else none.
ChosenSubtitles ChooseSubtitles(const SubtitleChoice& choice, const SourceDescription& source,
                                int soundTrack, const std::vector<std::string>& besideFiles,
                                const std::string& preferredLanguage);

}  // namespace vantrel
