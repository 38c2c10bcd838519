#include "cli/progress_display.h"

#include <cstdint>

#include "conversion/progress_line.h"

namespace vantrel::cli {

void ProgressDisplay::Start(Clock::time_point start) {
    start_ = start;
    printedSteps_ = 0;
}

void ProgressDisplay::Update(const ProgressReport& progress, Clock::time_point now) {
    const double elapsed = std::chrono::duration<double>(now - start_).count();
    const ProgressFigures figures = ComputeProgress(progress, elapsed);
    const std::string line = FormatProgressLine(figures, kBarWidth);
    if (console_.live()) {
        console_.ShowProgress(name_, line);
        return;
    }
    const int64_t steps = figures.percent ? static_cast<int64_t>(*figures.percent / 10.0)
                                          : static_cast<int64_t>(figures.convertedSeconds / 60.0);
    if (steps <= printedSteps_) return;
    printedSteps_ = steps;
    console_.Print(name_, line + '\n');
}

void ProgressDisplay::Finish() {
    if (console_.live()) console_.EndProgress(name_);
}

}  // namespace vantrel::cli
