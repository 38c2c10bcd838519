#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "parse/panel_field.h"
#include "parse/source_tracks.h"
#include "parse/stream_line.h"

namespace vantrel {

// What ffmpeg said of the source, its first input: the information panel's
// texts as ffmpeg wrote them, and the facts a conversion is built from.
struct SourceDescription {
    std::string duration;
    std::string bitrate;
    std::string videoCodec;
    std::string pictureSize;
    std::string frameRate;

    // Hundredths of a second; none when ffmpeg gave none ("N/A"), as for a
    // recording whose header was never finished.
    std::optional<int64_t> durationHundredths;
    bool read = false;         // ffmpeg read it as a movie and listed its streams
    bool hasPicture = false;   // a moving picture; a cover image is not one
    bool hasCoverArt = false;  // a still image stored with the sound ("attached pic")
    int pictureWidth = 0;      // of the first moving picture; 0 when not said
    int pictureHeight = 0;
    std::string videoCodecId;    // ffmpeg's name of its decoder: "h264", "mpeg2video"
    double framesPerSecond = 0;  // 0 when not said
    FieldOrder fieldOrder = FieldOrder::kUnknown;
    std::vector<SoundTrack> soundTracks;        // in ffmpeg's order: "0:a:N" is the Nth
    std::vector<SubtitleTrack> subtitleTracks;  // "0:s:N" is the Nth

    bool hasSound() const { return !soundTracks.empty(); }

    // The text shown in one panel field.
    const std::string& Text(PanelField field) const;
    std::string& Text(PanelField field);
};

}  // namespace vantrel
