#pragma once

#include <cstdint>

namespace vantrel {

// What the parser and the output pump keep between the lines of one run.
// Each run has its own, on the thread that runs it.
struct ParserState {
    // Hundredths of a second, as ffmpeg prints it, so a clip shorter than a
    // second still has one; 0 while no duration is known.
    int64_t durationHundredths = 0;
    // Only a conversion posts progress; a probe does not.
    bool progressEnabled = false;

    int64_t positionHundredths = 0;
    float progressPercent = 0.0f;  // unclamped
    int32_t progressBase = 0;
    int32_t passDivisor = 1;
    int32_t decodeFailures = 0;  // lines reporting a frame that failed to decode
    bool sawSound = false;       // a stream line described sound
};

}  // namespace vantrel
