#pragma once

#include <chrono>
#include <cstdint>
#include <ostream>

namespace vantrel::cli {

// Shows a conversion's progress. On a terminal ("live") one line is redrawn in
// place with a carriage return; anywhere else a plain line is written each
// time the progress passes another tenth, so that logs stay short and hold no
// carriage returns.
class ProgressDisplay {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr int kBarWidth = 30;

    ProgressDisplay(std::ostream& out, bool live) : out_(out), live_(live) {}

    // A new conversion of a source of `durationSeconds` begins at `start`.
    void Start(double durationSeconds, Clock::time_point start);
    // The engine's position in thousandths of a percent (not clamped).
    void Update(int32_t position, Clock::time_point now);
    // Ends the live line so that what follows starts on a line of its own.
    void Finish();

private:
    std::ostream& out_;
    const bool live_;
    double duration_ = 0.0;
    Clock::time_point start_{};
    int printedTenths_ = 0;
    size_t shownWidth_ = 0;
    bool lineOpen_ = false;
};

}  // namespace vantrel::cli
