#include "ui/status_line.h"

#include <cstdio>

#include "conversion/output_format.h"

namespace vantrel {
namespace {

// Decimal units, as file managers on the desktop show sizes.
std::string SizeText(double bytes) {
    char text[32];
    if (bytes < 1e6) {
        std::snprintf(text, sizeof text, "%.0f kB", bytes / 1e3);
    } else {
        std::snprintf(text, sizeof text, "%.1f MB", bytes / 1e6);
    }
    return text;
}

}  // namespace

std::string ExpectedSizeStatus(int32_t videoKilobits, int64_t durationHundredths) {
    const double seconds = static_cast<double>(durationHundredths) / 100.0;
    const double bits = (videoKilobits + kPlayerFormat.soundKilobits) * 1000.0 * seconds;
    return "Expected size: " + SizeText(bits / 8);
}

std::string ConvertingStatus(const ProgressFigures& figures) {
    char text[96];
    int length = figures.percent
                     ? std::snprintf(text, sizeof text, "%.1f%%", *figures.percent)
                     : std::snprintf(text, sizeof text, "%s converted",
                                     FormatClock(figures.convertedSeconds).c_str());
    if (figures.speed) {
        length += std::snprintf(text + length, sizeof text - length, "   %.1f× real time",
                                *figures.speed);
    }
    std::string status(text, static_cast<size_t>(length));
    if (figures.etaSeconds) status += "   " + FormatClock(*figures.etaSeconds) + " left";
    return status;
}

std::string ConvertedStatus(std::string_view targetName, uint64_t bytes, double seconds,
                            const std::vector<std::string>& notes) {
    std::string status = "Converted: " + std::string(targetName) + " (" +
                         SizeText(static_cast<double>(bytes)) + ") in " + FormatClock(seconds);
    for (const std::string& note : notes) status += "; " + note;
    return status;
}

}  // namespace vantrel
