#pragma once

#include <atomic>
#include <cstdint>
#include <string>

namespace vantrel {

// What the parser and the output pump keep between chunks and between runs.
// Runs are serialised, so only the fields that another thread reads while a run
// is going are atomic.
struct ParserState {
    // Whole seconds; 0 while no duration is known. The UI thread reads it to
    // decide whether Encode may start while a worker may rewrite it.
    std::atomic<int64_t> durationSeconds{0};
    // Posting is switched on by the UI thread for a conversion and off after it.
    std::atomic<bool> progressEnabled{false};

    int64_t positionSeconds = 0;
    float progressPercent = 0.0f;  // unclamped
    int32_t progressBase = 0;
    int32_t passDivisor = 1;
    int32_t decodeFailures = 0;

    // The latest chunk that arrived while no duration was known; the start-time
    // fallback looks for a clock time in it.
    std::string earlyOutput;
};

}  // namespace vantrel
