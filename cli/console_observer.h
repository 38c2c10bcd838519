#pragma once

#include <string_view>

#include "panel_field.h"
#include "progress_display.h"
#include "encoder_report_sink.h"

namespace vantrel::cli {

// Passes a conversion's progress to the terminal. Every call arrives on the
// thread that runs the conversion (the main thread here), so nothing is locked.
class ConsoleObserver : public EncoderReportSink {
public:
    void SetPanelText(PanelField field, std::string_view text) override;
    void PostProgress(int32_t position) override;

    // Progress goes to `display` from now on; null to drop it.
    void FollowWith(ProgressDisplay* display) { display_ = display; }

private:
    ProgressDisplay* display_ = nullptr;
};

}  // namespace vantrel::cli
