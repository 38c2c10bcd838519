#pragma once

#include <string>

#include "conversion/track_plan.h"
#include "parse/source_description.h"

namespace vantrel {

// The information panel's words for a source's tracks.

// A subtitle track as the Subtitles list offers it, counted from 1:
// "Track 1: German, forced", "Track 2: English (image)".
std::string SubtitleTrackText(const SubtitleTrack& track, int index);

// The sound track `soundTrack` that a conversion takes: "German, 5.1(side)"
// when it is the only one, "Track 2 of 3: German, 5.1(side)" of several;
// "None" for a source without sound.
std::string SoundText(const SourceDescription& source, int soundTrack);

// What a conversion draws: "None", a track as the list offers it, or a
// subtitle file's name.
std::string DrawnSubtitlesText(const ChosenSubtitles& chosen, const SourceDescription& source);

}  // namespace vantrel
