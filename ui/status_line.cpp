#include "ui/status_line.h"

#include <cstdio>

namespace vantrel {
namespace {

// The sound's bitrate, which every conversion asks ffmpeg for.
constexpr int32_t kSoundKilobits = 64;

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
    const double bits = (videoKilobits + kSoundKilobits) * 1000.0 * seconds;
    return "Expected size: " + SizeText(bits / 8);
}

std::string ConvertingStatus(const ProgressFigures& figures) {
    char text[96];
    int length = std::snprintf(text, sizeof text, "%.1f%%", figures.percent);
    if (figures.speed) {
        length += std::snprintf(text + length, sizeof text - length, "   %.1f× real time",
                                *figures.speed);
    }
    std::string status(text, static_cast<size_t>(length));
    if (figures.etaSeconds) status += "   " + FormatClock(*figures.etaSeconds) + " left";
    return status;
}

std::string ConvertedStatus(std::string_view targetName, uint64_t bytes, double seconds) {
    return "Converted: " + std::string(targetName) + " (" + SizeText(static_cast<double>(bytes)) +
           ") in " + FormatClock(seconds);
}

}  // namespace vantrel
