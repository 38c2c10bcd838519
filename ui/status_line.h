#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "conversion/progress_line.h"
#include "conversion/target_room.h"

namespace vantrel {

// The texts of the line left of Encode, and of the list's columns.

// While files wait: the size to expect of them all, "Expected size: 2.0 MB".
std::string ExpectedSizeStatus(double bytes);

// While converting: "45.2%   17.3× real time   0:12 left", or for a source of
// unknown duration "0:12 converted   17.3× real time"; the figures still
// unknown left out.
std::string ConvertingStatus(const ProgressFigures& figures);

// While converting several files: "2 of 5 files done   45.2%   3:10 left",
// the share and the time left of the whole list, left out while unknown.
std::string ListConvertingStatus(size_t done, size_t total, std::optional<double> percent,
                                 std::optional<double> etaSeconds);

// After a success: "Converted: trip.d3v (2.4 MB) in 0:07", and what the user
// should know of it: "; the source ends at 0:04 of its 0:08".
std::string ConvertedStatus(std::string_view targetName, uint64_t bytes, double seconds,
                            const std::vector<std::string>& notes);

// After a list of several files, or one that did not convert:
// "4 files converted, 1 failed, in 2:14".
std::string ListEndedStatus(size_t converted, size_t failed, double seconds);

}  // namespace vantrel
