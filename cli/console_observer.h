#pragma once

#include <string>

#include "cli/progress_display.h"
#include "cli/shared_console.h"
#include "parse/encoder_report_sink.h"

namespace vantrel::cli {

// What each line that describes a file and its conversion begins with.
enum class LineLabel { kSource, kDuration, kBitrate, kVideoCodec, kPictureSize, kFrameRate, kTarget, kNote, kPreview };

// "Duration:     1:05\n": `label` in the user's language, padded so that the
// values after all the labels line up, however long their translations are.
std::string LabelledLine(LineLabel label, const std::string& value);

// Tells the console what one conversion reports: the source's description,
// once ffmpeg has given it, then the progress. Every call arrives on the
// thread that runs this file's conversion.
class ConsoleObserver : public EncoderReportSink {
public:
    ConsoleObserver(FileConsole& console, std::string target, ProgressDisplay::Clock::time_point start)
        : console_(console), target_(std::move(target)), start_(start),
          display_(console.shared, console.name) {}

    void SourceDescribed(const SourceDescription& source) override;
    void Progressed(const ProgressReport& progress) override;
    // The run is over: its progress line, if any, stays where it is.
    void Finish() { display_.Finish(); }

private:
    FileConsole& console_;
    const std::string target_;
    const ProgressDisplay::Clock::time_point start_;
    ProgressDisplay display_;
    bool described_ = false;  // progress is shown below the description
};

}  // namespace vantrel::cli
