#pragma once

#include <cstdint>
#include <string>

namespace vantrel {

// What one encoder run is asked to do. Paths are UTF-8 byte strings of any
// length; an empty target makes the run a probe that writes nothing.
struct ConversionRequest {
    static constexpr uint32_t kComposeArguments = 1;
    // Both the probe and the conversion set 9: compose the arguments, plus a
    // bit that nothing reads.
    static constexpr uint32_t kStandardFlags = 9;

    std::string sourcePath;
    std::string targetPath;
    uint32_t flags = kStandardFlags;
};

}  // namespace vantrel
