#pragma once

#include <cstdint>
#include <optional>

#include "parse/source_description.h"

namespace vantrel {

// How far a conversion has come.
struct ProgressReport {
    // Thousandths of a percent of the source's duration (0..100000 within
    // it; not clamped, so it may lie outside); none while the duration is unknown.
    std::optional<int32_t> position;
    int64_t convertedHundredths = 0;  // how much of the source is converted
};

// Where the parser's findings go. Every call arrives on the thread that runs
// the encoder: a worker, never the UI thread. Implementations must not block
// on the UI thread.
class EncoderReportSink {
public:
    virtual ~EncoderReportSink() = default;

    // Once a run, when ffmpeg has finished describing the source.
    virtual void SourceDescribed(const SourceDescription& source) = 0;
    virtual void Progressed(const ProgressReport& progress) = 0;
};

}  // namespace vantrel
