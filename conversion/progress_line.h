#pragma once

#include <optional>
#include <string>

#include "parse/encoder_report_sink.h"

namespace vantrel {

// What one progress line tells.
struct ProgressFigures {
    std::optional<double> percent;      // 0..100; none while the duration is unknown
    double convertedSeconds = 0.0;      // of the source
    std::optional<double> speed;        // seconds of the movie per second of wall time
    std::optional<double> etaSeconds;   // wall time still to go
};

// Figures from a conversion's progress and the wall time since it began.
// Speed and ETA stay unknown until the movie has advanced and time has passed.
ProgressFigures ComputeProgress(const ProgressReport& progress, double elapsedSeconds);

// "0:07", "12:34", "1:02:03": seconds rounded up, so an ETA reads 0:00 only at
// the end.
std::string FormatClock(double seconds);

// " 45.2% [#############-----------------]  17.3x  ETA 0:12", or for a source
// of unknown duration "  0:12 converted  17.3x"; unknown figures show as
// dashes. Its words are in the user's language; no control characters.
std::string FormatProgressLine(const ProgressFigures& figures, int barWidth);

}  // namespace vantrel
