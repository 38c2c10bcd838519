#pragma once

#include <string>

namespace vantrel {

// One sound track of the source, as ffmpeg lists it.
struct SoundTrack {
    std::string language;  // as the container names it ("eng", "ger", "fr"); empty when unsaid
    std::string title;     // its "title" metadata; empty when none
    int channels = 0;      // 0 when ffmpeg did not say
    std::string layout;    // ffmpeg's word for the channels: "mono", "stereo", "5.1(side)"
    bool isDefault = false;
    bool isCommentary = false;           // flagged "(comment)"
    bool isForVisuallyImpaired = false;  // flagged "(visual impaired)": a described track

    bool operator==(const SoundTrack&) const = default;
};

// One subtitle track of the source, as ffmpeg lists it.
struct SubtitleTrack {
    std::string codec;     // ffmpeg's codec name: "subrip", "ass", "hdmv_pgs_subtitle"
    std::string language;  // as the container names it; empty when unsaid
    std::string title;
    bool isDefault = false;
    bool isForced = false;                // only the lines in another language than the sound's
    bool isForHearingImpaired = false;

    // Drawn pictures (PGS, DVD, DVB) rather than text.
    bool IsImage() const;

    bool operator==(const SubtitleTrack&) const = default;
};

}  // namespace vantrel
