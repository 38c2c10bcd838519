#pragma once

#include <cstdint>
#include <string_view>

#include "parse/panel_field.h"

namespace vantrel {

// Where the parser's findings go. Both calls arrive on the thread that runs the
// encoder: the UI thread during a probe, the conversion worker during a
// conversion. Implementations must not block on the UI thread.
class EncoderReportSink {
public:
    virtual ~EncoderReportSink() = default;

    // A new text for one field of the information panel.
    virtual void SetPanelText(PanelField field, std::string_view text) = 0;

    // The progress bar's new position in thousandths of a percent (0..100000 for
    // a run within its duration; not clamped, so it may lie outside).
    virtual void PostProgress(int32_t position) = 0;
};

}  // namespace vantrel
