#include "conversion/progress_line.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "platform/translation.h"

namespace vantrel {

ProgressFigures ComputeProgress(const ProgressReport& progress, double elapsedSeconds) {
    ProgressFigures figures;
    figures.convertedSeconds = static_cast<double>(progress.convertedHundredths) / 100.0;
    if (progress.position) {
        figures.percent = std::clamp(static_cast<double>(*progress.position) / 1000.0, 0.0, 100.0);
    }
    if (elapsedSeconds <= 0.0 || figures.convertedSeconds <= 0.0) return figures;
    figures.speed = figures.convertedSeconds / elapsedSeconds;
    if (figures.percent && *figures.percent > 0.0) {
        const double total = figures.convertedSeconds * 100.0 / *figures.percent;
        figures.etaSeconds = std::max(0.0, total - figures.convertedSeconds) / *figures.speed;
    }
    return figures;
}

std::string FormatClock(double seconds) {
    const long long total = std::max(0LL, static_cast<long long>(std::ceil(seconds - 1e-9)));
    const long long hours = total / 3600;
    const long long minutes = total / 60 % 60;
    const long long secs = total % 60;
    char text[48];
    if (hours > 0) {
        std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", hours, minutes, secs);
    } else {
        std::snprintf(text, sizeof text, "%lld:%02lld", minutes, secs);
    }
    return text;
}

namespace {

std::string SpeedText(const ProgressFigures& figures) {
    char speed[32];
    if (!figures.speed) {
        std::snprintf(speed, sizeof speed, "  --.-x");
    } else if (*figures.speed < 99.95) {
        std::snprintf(speed, sizeof speed, "  %4.1fx", *figures.speed);
    } else {
        std::snprintf(speed, sizeof speed, "  %4.0fx", std::min(*figures.speed, 9999.0));
    }
    return speed;
}

}  // namespace

std::string FormatProgressLine(const ProgressFigures& figures, int barWidth) {
    if (!figures.percent) {
        // TRANSLATORS: {1} is how much of a movie of unknown length is converted so far, such
        // as 0:12.
        return "  " + Fill(Tr("{1} converted"), {FormatClock(figures.convertedSeconds)}) +
               SpeedText(figures);
    }
    const double percent = *figures.percent;
    char head[16];
    std::snprintf(head, sizeof head, "%5.1f%%", percent);

    const int width = std::max(barWidth, 1);
    const int filled = static_cast<int>(percent / 100.0 * width);
    std::string line = head;
    line += " [";
    line.append(static_cast<size_t>(filled), '#');
    line.append(static_cast<size_t>(width - filled), '-');
    line += "]";

    line += SpeedText(figures);
    line += "  ";
    // TRANSLATORS: the time still to go, {1} such as 0:12, or --:-- while it is unknown; short, as
    // it ends a progress line in a terminal.
    line += Fill(Tr("ETA {1}"), {figures.etaSeconds ? FormatClock(*figures.etaSeconds) : "--:--"});
    return line;
}

}  // namespace vantrel
