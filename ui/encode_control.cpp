// Encode/STOP and the conversion worker.
#include "control_ids.h"
#include "converter_dialog.h"
#include "outcome_message.h"
#include "string_table.h"

namespace vantrel {

void ConverterDialog::OnEncode() {
    if (m_closed) return;
    switch (m_activity) {
        case Activity::kConverting:
            StopRun();
            break;
        case Activity::kIdle:
            if (m_source.durationHundredths > 0) StartConversion();
            break;
        case Activity::kProbing:
            break;
    }
}

void ConverterDialog::StopRun() {
    // The run may have ended by itself a moment ago, its end still queued for
    // this thread: the signal then finds nothing to stop, and its end below
    // finds the window idle already.
    m_stop->Signal();
    m_activity = Activity::kIdle;
    ShowIdle();
}

void ConverterDialog::StartConversion() {
    m_activity = Activity::kConverting;
    const uint64_t run = ++m_run;
    m_window.SetControlText(kIdEncode, LoadStringResource(kIdsStop));
    m_window.EnableControl(kIdOpen, false);
    const ConversionRequest request{m_sourcePath, m_targetPath, m_videoBitrate, kDefaultPictureFit,
                                    m_source.hasSound};
    const bool started = StartWorker([this, run, request](const StopSignal& stop) {
        const ConversionOutcome outcome = m_converter.Convert(request, &stop, *this);
        m_window.RunOnUiThread(
            [this, run, outcome, source = request.sourcePath] {
                ConversionEnded(run, outcome, source);
            });
    });
    if (!started) ConversionEnded(run, kStopped, m_sourcePath);
}

void ConverterDialog::ConversionEnded(uint64_t run, ConversionOutcome outcome,
                                      const std::string& sourcePath) {
    if (m_closed) return;
    if (run == m_run) JoinWorker();
    // The buttons first, then the message, so the window is idle behind it.
    if (run == m_run && m_activity == Activity::kConverting) {
        m_activity = Activity::kIdle;
        ShowIdle();
    }
    const std::string message = OutcomeMessage(outcome, sourcePath);
    if (!message.empty()) m_window.ShowMessage(message);
}

}  // namespace vantrel
