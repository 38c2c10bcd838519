#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "conversion/progress_line.h"
#include "conversion/subtitle_choice.h"
#include "conversion/trim.h"
#include "parse/source_description.h"
#include "ui/dialog_window.h"

namespace vantrel {

// Where a file of the list stands. A stopped row is converted again by the
// next Encode, as a waiting one is.
enum class RowState { kWaiting, kConverting, kConverted, kFailed, kStopped, kSkipped };

// One file of the window's list, as its logic keeps it (UI thread only).
struct SourceRow {
    ListRowKey key = 0;
    std::string sourcePath;
    SourceDescription description;  // once probed, or described by its conversion
    bool probed = false;            // the probe has ended, and described it
    // The subtitle files beside it, as its probe found them, those in the
    // preferred language first.
    std::vector<std::string> subtitleFiles;
    // Which subtitles it draws: its own, since rows differ in their tracks.
    SubtitleChoice subtitles;
    // The part of it converted ("From" and "To"); all of it by default.
    Trim trim;
    RowState state = RowState::kWaiting;
    // Its probe or conversion, while one runs for it: later reports of a run
    // put aside by STOP are told apart from those of the next.
    uint64_t job = 0;
    bool inRun = false;  // taken by the Encode that is running, or ran last
    std::string target;
    int32_t videoKilobits = 0;       // the quality it converts at, once started
    uint64_t targetBytes = 0;        // converted
    std::vector<std::string> notes;  // converted
    std::string reason;              // failed or skipped, in a user's words
    std::string message;             // failed: the message box's text
    std::optional<double> done;      // converting: the share of its duration
    ProgressFigures figures;         // converting

    bool Runnable() const { return state == RowState::kWaiting || state == RowState::kStopped; }
    bool Finished() const {
        return state == RowState::kConverted || state == RowState::kFailed ||
               state == RowState::kSkipped;
    }
    std::optional<double> DurationSeconds() const;
    // The seconds converted: its duration, or the part of it "From" and "To"
    // keep; none while its duration is unknown and "To" does not say.
    std::optional<double> PartSeconds() const;
};

// The row as the list shows it; the size to expect of a row not yet started
// is the one at the quality chosen now, `videoKilobits`, and the name it is
// saved as the one the naming rule gives it.
ListRowTexts RowTexts(const SourceRow& row, int32_t videoKilobits);

}  // namespace vantrel
