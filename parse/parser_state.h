#pragma once

#include <atomic>
#include <cstdint>

namespace vantrel {

// What the parser and the output pump keep between lines and between runs.
// Runs are serialised, so only the fields that another thread reads while a run
// is going are atomic.
struct ParserState {
    // Hundredths of a second, as ffmpeg prints it, so a clip shorter than a
    // second still has one; 0 while no duration is known. The UI thread reads
    // it to decide whether Encode may start while a worker may rewrite it.
    std::atomic<int64_t> durationHundredths{0};
    // Posting is switched on by the UI thread for a conversion and off after it.
    std::atomic<bool> progressEnabled{false};

    int64_t positionHundredths = 0;
    float progressPercent = 0.0f;  // unclamped
    int32_t progressBase = 0;
    int32_t passDivisor = 1;
    int32_t decodeFailures = 0;  // lines reporting a frame that failed to decode
};

}  // namespace vantrel
