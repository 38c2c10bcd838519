#pragma once

#include <cstdint>
#include <string>

#include "conversion/output_format.h"
#include "conversion/picture_fit.h"

namespace vantrel {

// One conversion, as a user asks for it. Paths are UTF-8 byte strings of any
// length.
struct ConversionRequest {
    std::string sourcePath;
    std::string targetPath;
    int32_t videoKilobits = kPlayerFormat.defaultVideoKilobits;
    PictureFit fit = kDefaultPictureFit;
};

}  // namespace vantrel
