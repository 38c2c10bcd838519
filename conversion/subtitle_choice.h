#pragma once

#include <string>

namespace vantrel {

// Which subtitles a user asks for.
enum class SubtitleMode {
    kOff,
    kAuto,   // a file beside the source, else a forced track, else one in the preferred language
    kTrack,  // one of the source's subtitle tracks
    kFile,   // a subtitle file anywhere
};

struct SubtitleChoice {
    SubtitleMode mode = SubtitleMode::kAuto;
    int track = 0;     // kTrack: counted among the subtitle tracks, from 0
    std::string file;  // kFile: its path

    bool operator==(const SubtitleChoice&) const = default;
};

}  // namespace vantrel
