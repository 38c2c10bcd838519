#pragma once

#include <string>

#include "conversion/track_plan.h"

namespace vantrel {

// The subtitles as ffmpeg is to draw them, once the converter has made them
// ready: a file's text read into UTF-8 and copied where ffmpeg reads it.
struct SubtitleDrawing {
    ChosenSubtitles::Kind kind = ChosenSubtitles::Kind::kNone;
    int track = 0;         // kTextTrack, kImageTrack: counted among the subtitle tracks
    std::string textFile;  // kFile: the UTF-8 copy; kTextTrack: the source itself
    bool ownStyles = false;  // ASS/SSA: their styles and places are kept
    std::string fontFolder;  // the fallback font's folder; empty: the system's fonts alone

    bool draws() const { return kind != ChosenSubtitles::Kind::kNone; }
};

}  // namespace vantrel
