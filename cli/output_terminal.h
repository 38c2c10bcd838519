#pragma once

#include <cstddef>

namespace vantrel::cli {

// What standard output is, as the progress display needs to know it.
struct OutputTerminal {
    bool live = false;  // a terminal that moves its cursor on request, so lines are redrawn in place
    size_t width = 80;  // its columns
};

// Asks the system about standard output, and readies a terminal for the
// cursor movements where the system needs that asked.
OutputTerminal DescribeStandardOutput();

}  // namespace vantrel::cli
