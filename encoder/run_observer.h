#pragma once

#include <string_view>

#include "encoder_report_sink.h"

namespace vantrel {

// What a run tells its owner. Every call arrives on the thread that runs the
// encoder (the UI thread for a probe, the worker for a conversion) and must not
// wait for the UI thread.
class RunObserver : public EncoderReportSink {
public:
    // A failure the user must see, such as an encoder that cannot be started.
    virtual void ShowMessage(std::string_view text) = 0;
};

}  // namespace vantrel
