#pragma once

#include <cstdint>
#include <string>

#include "conversion/picture_fit.h"
#include "conversion/qualities.h"

namespace vantrel {

// One conversion: paths are UTF-8 byte strings of any length.
struct ConversionRequest {
    std::string sourcePath;
    std::string targetPath;
    int32_t videoBitrate = kDefaultVideoBitrate;  // kbit/s
    PictureFit fit = kDefaultPictureFit;
    // From the probe: a source without sound gets a silent track, since a
    // player may refuse a movie that has none.
    bool sourceHasSound = true;
};

}  // namespace vantrel
