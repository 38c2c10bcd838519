#include "ui/source_row.h"

#include <cmath>

#include "conversion/target_naming.h"
#include "platform/translation.h"
#include "platform/utf8_path.h"
#include "ui/status_line.h"

namespace vantrel {
namespace {

std::string StateText(const SourceRow& row) {
    switch (row.state) {
        case RowState::kWaiting:
            return Tr("Waiting");
        case RowState::kConverting: {
            // As the status line words a single run, with the time left.
            const ProgressFigures& f = row.figures;
            std::string done;
            if (f.percent) {
                // TRANSLATORS: {1} is a share in percent, such as 45.2.
                done = Fill(Tr("{1}%"), {std::to_string(static_cast<int>(*f.percent))});
            } else {
                // TRANSLATORS: {1} is how much of a movie of unknown length is converted so far, such as 0:12.
                done = Fill(Tr("{1} converted"), {FormatClock(f.convertedSeconds)});
            }
            if (!f.etaSeconds) return done;
            // TRANSLATORS: a row of the list while it converts. {1} is how far it is, such as 45% or
            // "0:12 converted"; {2} the time still to wait, such as 3:10.
            return Fill(Tr("{1}, {2} left"), {done, FormatClock(*f.etaSeconds)});
        }
        case RowState::kConverted:
            // TRANSLATORS: {1} is the converted file's size, such as 2.4 MB.
            return Fill(Tr("Converted ({1})"), {SizeText(static_cast<double>(row.targetBytes))});
        case RowState::kFailed:
            // TRANSLATORS: {1} is why the file could not be converted.
            return Fill(Tr("Failed: {1}"), {row.reason});
        case RowState::kStopped:
            return Tr("Stopped");
        case RowState::kSkipped:
            // TRANSLATORS: {1} is why the file was not converted.
            return Fill(Tr("Skipped: {1}"), {row.reason});
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
