#pragma once

#include <cstdint>
#include <string>

#include "parse/panel_field.h"

namespace vantrel {

// What a probe learned of a source: the information panel's texts as ffmpeg
// wrote them, and the duration the progress is measured against.
struct SourceDescription {
    std::string duration;
    std::string bitrate;
    std::string videoCodec;
    std::string pictureSize;
    std::string frameRate;
    int64_t durationHundredths = 0;  // 0: ffmpeg reported none
    bool hasSound = false;           // ffmpeg described a sound stream

    // The text shown in one panel field.
    const std::string& Text(PanelField field) const;
    std::string& Text(PanelField field);
};

}  // namespace vantrel
