#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace vantrel {

// What one progress line tells.
struct ProgressFigures {
    double percent = 0.0;               // 0..100
    std::optional<double> speed;        // seconds of the movie per second of wall time
    std::optional<double> etaSeconds;   // wall time still to go
};

// Figures from the engine's progress position (thousandths of a percent, not
// clamped), the source's duration and the wall time since the conversion began.
// Speed and ETA stay unknown until the movie has advanced and time has passed.
ProgressFigures ComputeProgress(int32_t position, double durationSeconds, double elapsedSeconds);

// "0:07", "12:34", "1:02:03": seconds rounded up, so an ETA reads 0:00 only at
// the end.
std::string FormatClock(double seconds);

// " 45.2% [#############-----------------]  17.3x  ETA 0:12"; unknown figures
// show as dashes. Plain ASCII, no control characters.
std::string FormatProgressLine(const ProgressFigures& figures, int barWidth);

}  // namespace vantrel
