#pragma once

#include <string>

namespace vantrel {

// What the panel shows of a "Video: " stream description.
struct VideoStreamFields {
    std::string codec;
    std::string pictureSize;
    std::string frameRate;
    int width = 0;  // the picture size's numbers; 0 when it has none
    int height = 0;
};

// `text` starts right after "Video: ". ffmpeg writes fields with commas inside
// brackets ("yuv420p(tv, bt709, progressive)"), so fields are split only at
// commas outside brackets. A field the line does not have stays empty.
VideoStreamFields ReadVideoStreamFields(const char* text);

}  // namespace vantrel
