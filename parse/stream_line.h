#pragma once

#include <string>

namespace vantrel {

// What the panel shows of a "Video: " stream description.
struct VideoStreamFields {
    std::string codec;
    std::string pictureSize;
    std::string frameRate;
};

// `text` starts right after "Video: ". Today's ffmpeg writes fields with commas
// inside brackets ("yuv420p(tv, bt709, progressive)") and a bitrate before the
// frame rate; the old form is four plain fields: codec, pixel format, size, rate.
VideoStreamFields ReadVideoStreamFields(const char* text);

}  // namespace vantrel
