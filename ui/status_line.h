#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "conversion/progress_line.h"

namespace vantrel {

// The texts of the line left of Encode.

// After OPEN: the converted file's size to expect, from the video bitrate, the
// sound's and the source's duration.
std::string ExpectedSizeStatus(int32_t videoKilobits, int64_t durationHundredths);

// While converting: "45.2%   17.3× real time   0:12 left", or for a source of
// unknown duration "0:12 converted   17.3× real time"; the figures still
// unknown left out.
std::string ConvertingStatus(const ProgressFigures& figures);

// After a success: "Converted: trip.d3v (2.4 MB) in 0:07", and what the user
// should know of it: "; the source ends at 0:04 of its 0:08".
std::string ConvertedStatus(std::string_view targetName, uint64_t bytes, double seconds,
                            const std::vector<std::string>& notes);

}  // namespace vantrel
