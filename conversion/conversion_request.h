#pragma once

#include <cstdint>
#include <string>

#include "qualities.h"

namespace vantrel {

// One conversion: paths are UTF-8 byte strings of any length.
struct ConversionRequest {
    std::string sourcePath;
    std::string targetPath;
    int32_t videoBitrate = kDefaultVideoBitrate;  // kbit/s
};

}  // namespace vantrel
