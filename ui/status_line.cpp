#include "ui/status_line.h"

#include <cstdio>

#include "conversion/output_format.h"

namespace vantrel {

std::string ExpectedSizeStatus(double bytes) { return "Expected size: " + SizeText(bytes); }

std::string ListConvertingStatus(size_t done, size_t total, std::optional<double> percent,
                                 std::optional<double> etaSeconds) {
    std::string status = std::to_string(done) + " of " + std::to_string(total) + " files done";
    if (percent) {
        char text[16];
        std::snprintf(text, sizeof text, "   %.1f%%", *percent);
        status += text;
    }
    if (etaSeconds) status += "   " + FormatClock(*etaSeconds) + " left";
    return status;
}

std::string ListEndedStatus(size_t converted, size_t failed, double seconds) {
    std::string status = std::to_string(converted) + (converted == 1 ? " file" : " files") +
                         " converted";
    if (failed > 0) status += ", " + std::to_string(failed) + " failed";
    return status + ", in " + FormatClock(seconds);
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
