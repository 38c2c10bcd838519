#include "cli/progress_display.h"

#include "conversion/progress_line.h"

namespace vantrel::cli {

void ProgressDisplay::Start(double durationSeconds, Clock::time_point start) {
    duration_ = durationSeconds;
    start_ = start;
    printedTenths_ = 0;
}

void ProgressDisplay::Update(int32_t position, Clock::time_point now) {
    const double elapsed = std::chrono::duration<double>(now - start_).count();
    const ProgressFigures figures = ComputeProgress(position, duration_, elapsed);
    const std::string line = FormatProgressLine(figures, kBarWidth);
    if (console_.live()) {
        console_.ShowProgress(name_, line);
        return;
    }
    const int tenths = static_cast<int>(figures.percent / 10.0);
    if (tenths <= printedTenths_) return;
    printedTenths_ = tenths;
    console_.Print(name_, line + '\n');
}

void ProgressDisplay::Finish() {
    if (console_.live()) console_.EndProgress(name_);
}

}  // namespace vantrel::cli
