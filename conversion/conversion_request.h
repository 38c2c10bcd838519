#pragma once

#include <cstdint>
#include <string>

#include "conversion/output_format.h"
#include "conversion/picture_fit.h"
#include "conversion/subtitle_choice.h"
#include "conversion/trim.h"

namespace vantrel {

// One conversion, as a user asks for it. Paths are UTF-8 byte strings of any
// length.
struct ConversionRequest {
    std::string sourcePath;
    std::string targetPath;
    int32_t videoKilobits = kPlayerFormat.defaultVideoKilobits;
    PictureFit fit = kDefaultPictureFit;
    SubtitleChoice subtitles;
    // The language a user wants to hear and read, in any form CanonicalLanguage
    // takes; empty for none.
    std::string preferredLanguage;
    // The sound track to convert, counted among the sound tracks; negative: the
    // one ChooseSoundTrack picks.
    int soundTrack = -1;
    // Bring the sound to the loudness a small speaker wants.
    bool normalizeLoudness = true;
    // What a subtitle file beside the source is written in; empty: find out.
    std::string subtitleEncoding;
    // The part of the source converted; all of it by default.
    Trim trim;
    // The threads the source's decoder may take; 0: as many as ffmpeg likes.
    // Conversions that run side by side share the cores this way.
    int threads = 0;
};

}  // namespace vantrel
