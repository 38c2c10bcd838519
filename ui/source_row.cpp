#include "ui/source_row.h"

#include <cmath>

#include "conversion/target_naming.h"
#include "platform/utf8_path.h"
#include "ui/status_line.h"

namespace vantrel {
namespace {

std::string StateText(const SourceRow& row) {
    switch (row.state) {
        case RowState::kWaiting:
            return "Waiting";
        case RowState::kConverting: {
            // As the status line words a single run, with the time left.
            const ProgressFigures& f = row.figures;
            std::string text = f.percent ? std::to_string(static_cast<int>(*f.percent)) + "%"
                                         : FormatClock(f.convertedSeconds) + " converted";
            if (f.etaSeconds) text += ", " + FormatClock(*f.etaSeconds) + " left";
            return text;
        }
        case RowState::kConverted:
            return "Converted (" + SizeText(static_cast<double>(row.targetBytes)) + ")";
        case RowState::kFailed:
            return "Failed: " + row.reason;
        case RowState::kStopped:
            return "Stopped";
        case RowState::kSkipped:
            return "Skipped: " + row.reason;
    }
    return {};
}

}  // namespace

std::optional<double> SourceRow::DurationSeconds() const {
    const std::optional<int64_t> hundredths = description.durationHundredths;
    if (!description.read || !hundredths || *hundredths <= 0) return std::nullopt;
    return static_cast<double>(*hundredths) / 100.0;
}

std::optional<double> SourceRow::PartSeconds() const {
    return trim.Trims() ? trim.Length(DurationSeconds()) : DurationSeconds();
}

ListRowTexts RowTexts(const SourceRow& row, int32_t videoKilobits) {
    // A row not yet started is saved as the naming rule says, wherever it goes.
    const Expected<std::string> target = row.target.empty() ? TargetPathFor(row.sourcePath) : Expected<std::string>(row.target);
    const std::string savedAs = target ? FileNamePart(*target) : "";
    // The part converted, and its size.
    const std::optional<double> seconds = row.PartSeconds();
    std::string size;
    if (row.state == RowState::kConverted) {
        size = SizeText(static_cast<double>(row.targetBytes));
    } else if (seconds && row.state != RowState::kFailed && row.state != RowState::kSkipped) {
        size = SizeText(ExpectedBytes(row.Runnable() ? videoKilobits : row.videoKilobits, *seconds));
    }
    // To the nearest second: a movie of 10:00.01 is a ten-minute movie.
    return {FileNamePart(row.sourcePath), savedAs, seconds ? FormatClock(std::round(*seconds)) : "",
            size, StateText(row)};
}

}  // namespace vantrel
