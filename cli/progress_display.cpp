#include "progress_display.h"

#include <string>

#include "progress_line.h"

namespace vantrel::cli {

void ProgressDisplay::Start(double durationSeconds, Clock::time_point start) {
    Finish();
    duration_ = durationSeconds;
    start_ = start;
    printedTenths_ = 0;
    shownWidth_ = 0;
}

void ProgressDisplay::Update(int32_t position, Clock::time_point now) {
    const double elapsed = std::chrono::duration<double>(now - start_).count();
    const ProgressFigures figures = ComputeProgress(position, duration_, elapsed);
    std::string line = FormatProgressLine(figures, kBarWidth);
    if (!live_) {
        const int tenths = static_cast<int>(figures.percent / 10.0);
        if (tenths <= printedTenths_) return;
        printedTenths_ = tenths;
        out_ << line << '\n' << std::flush;
        return;
    }
    // Blank out whatever a longer previous line left behind.
    const size_t width = line.size();
    if (width < shownWidth_) line.append(shownWidth_ - width, ' ');
    shownWidth_ = width;
    out_ << '\r' << line << std::flush;
    lineOpen_ = true;
}

void ProgressDisplay::Finish() {
    if (!lineOpen_) return;
    out_ << '\n' << std::flush;
    lineOpen_ = false;
}

}  // namespace vantrel::cli
