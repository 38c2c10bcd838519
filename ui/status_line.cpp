#include "ui/status_line.h"

#include <cstdio>

#include "conversion/output_format.h"
#include "platform/translation.h"

namespace vantrel {
namespace {

// Room for any double written so.
std::string OneDecimal(double value) {
    char text[320];
    const int length = std::snprintf(text, sizeof text, "%.1f", value);
    return std::string(text, length > 0 ? static_cast<size_t>(length) : 0);
}

std::string PercentText(double percent) {
    // TRANSLATORS: {1} is a share in percent, such as 45.2.
    return Fill(Tr("{1}%"), {OneDecimal(percent)});
}

// The parts of a status line stand apart, as columns would.
constexpr std::string_view kGap = "   ";

std::string TimeLeft(double seconds) {
    // TRANSLATORS: {1} is the time still to wait, such as 3:10.
    return Fill(Tr("{1} left"), {FormatClock(seconds)});
}

}  // namespace

std::string ExpectedSizeStatus(double bytes) {
    // TRANSLATORS: {1} is a size such as 2.0 MB.
    return Fill(Tr("Expected size: {1}"), {SizeText(bytes)});
}

std::string ListConvertingStatus(size_t done, size_t total, std::optional<double> percent,
                                 std::optional<double> etaSeconds) {
    // TRANSLATORS: {1} is how many files of the list are done, {2} how many the list has; the form follows
    // {2}. English says "files" whatever the count.
    std::string status = Fill(TrN("{1} of {2} files done", "{1} of {2} files done", total),
                              {std::to_string(done), std::to_string(total)});
    if (percent) status += std::string(kGap) + PercentText(*percent);
    if (etaSeconds) status += std::string(kGap) + TimeLeft(*etaSeconds);
    return status;
}

std::string ListEndedStatus(size_t converted, size_t failed, double seconds) {
    // TRANSLATORS: the start of "3 files converted, in 2:14" and of "3 files converted, 1 failed, in 2:14".
    const std::string done = Fill(TrN("{1} file converted", "{1} files converted", converted),
                                  {std::to_string(converted)});
    if (failed == 0) {
        // TRANSLATORS: {1} is how many files were converted, such as "3 files converted"; {2} the time the
        // list took, such as 2:14.
        return Fill(Tr("{1}, in {2}"), {done, FormatClock(seconds)});
    }
    // TRANSLATORS: {1} is how many files were converted, such as "3 files converted"; {2} how many failed;
    // {3} the time the list took, such as 2:14. The form follows {2}.
    return Fill(TrN("{1}, {2} failed, in {3}", "{1}, {2} failed, in {3}", failed),
                {done, std::to_string(failed), FormatClock(seconds)});
}

std::string ConvertingStatus(const ProgressFigures& figures) {
    std::string status;
    if (figures.percent) {
        status = PercentText(*figures.percent);
    } else {
        // TRANSLATORS: {1} is how much of a movie of unknown length is converted so far, such as 0:12.
        status = Fill(Tr("{1} converted"), {FormatClock(figures.convertedSeconds)});
    }
    if (figures.speed) {
        // TRANSLATORS: {1} is how many times faster than the movie plays it is converted, such as 17.3.
        status += std::string(kGap) + Fill(Tr("{1}× real time"), {OneDecimal(*figures.speed)});
    }
    if (figures.etaSeconds) status += std::string(kGap) + TimeLeft(*figures.etaSeconds);
    return status;
}

std::string ConvertedStatus(std::string_view targetName, uint64_t bytes, double seconds,
                            const std::vector<std::string>& notes) {
    // TRANSLATORS: {1} is the converted file's name, {2} its size such as 2.4 MB, {3} the time the
    // conversion took, such as 0:07.
    std::string status = Fill(Tr("Converted: {1} ({2}) in {3}"),
                              {targetName, SizeText(static_cast<double>(bytes)), FormatClock(seconds)});
    for (const std::string& note : notes) status += "; " + note;
    return status;
}

}  // namespace vantrel
