#pragma once

#include <chrono>
#include <cstdint>
#include <string>

#include "cli/shared_console.h"
#include "parse/encoder_report_sink.h"

namespace vantrel::cli {

// Shows one file's conversion progress. On a terminal ("live") its line is
// redrawn in place; anywhere else a plain line is written each time the
// progress passes another tenth (or, for a source of unknown duration, another
// minute of it), so that logs stay short and hold no control characters.
class ProgressDisplay {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr int kBarWidth = 30;

    ProgressDisplay(SharedConsole& console, std::string name)
        : console_(console), name_(std::move(name)) {}

    // A new conversion begins at `start`.
    void Start(Clock::time_point start);
    void Update(const ProgressReport& progress, Clock::time_point now);
    // The last line stays, and what follows starts on a line of its own.
    void Finish();

private:
    SharedConsole& console_;
    const std::string name_;
    Clock::time_point start_{};
    int64_t printedSteps_ = 0;  // tenths, or minutes of a source of unknown duration
};

}  // namespace vantrel::cli
