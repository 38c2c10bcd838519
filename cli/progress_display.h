#pragma once

#include <chrono>
#include <cstdint>
#include <string>

#include "cli/shared_console.h"

namespace vantrel::cli {

// Shows one file's conversion progress. On a terminal ("live") its line is
// redrawn in place; anywhere else a plain line is written each time the
// progress passes another tenth, so that logs stay short and hold no control
// characters.
class ProgressDisplay {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr int kBarWidth = 30;

    ProgressDisplay(SharedConsole& console, std::string name)
        : console_(console), name_(std::move(name)) {}

    // A new conversion of a source of `durationSeconds` begins at `start`.
    void Start(double durationSeconds, Clock::time_point start);
    // The engine's position in thousandths of a percent (not clamped).
    void Update(int32_t position, Clock::time_point now);
    // The last line stays, and what follows starts on a line of its own.
    void Finish();

private:
    SharedConsole& console_;
    const std::string name_;
    double duration_ = 0.0;
    Clock::time_point start_{};
    int printedTenths_ = 0;
};

}  // namespace vantrel::cli
