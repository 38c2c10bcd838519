#pragma once

#include <string>
#include <string_view>

#include "parse/encoder_report_sink.h"
#include "parse/panel_field.h"
#include "cli/progress_display.h"
#include "cli/shared_console.h"
#include "conversion/source_description.h"

namespace vantrel::cli {

// Tells the console what one conversion reports: the source's description,
// once ffmpeg has given it, then the progress. Every call arrives on the
// thread that runs this file's conversion.
class ConsoleObserver : public EncoderReportSink {
public:
    ConsoleObserver(FileConsole& console, std::string target, ProgressDisplay::Clock::time_point start)
        : console_(console), target_(std::move(target)), start_(start),
          display_(console.shared, console.name) {}

    void SetPanelText(PanelField field, std::string_view text) override;
    void PostProgress(int32_t position) override;
    // The run is over: its progress line, if any, stays where it is.
    void Finish() { display_.Finish(); }

    // ffmpeg gave the source's duration, so it could read the source.
    bool DescribedSource() const { return description_.durationHundredths > 0; }

private:
    void ShowPanel();

    FileConsole& console_;
    const std::string target_;
    const ProgressDisplay::Clock::time_point start_;
    ProgressDisplay display_;
    SourceDescription description_;
    unsigned reported_ = 0;  // one bit for each field that has its text
    bool shown_ = false;
};

}  // namespace vantrel::cli
