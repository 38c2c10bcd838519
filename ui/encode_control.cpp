// Encode/STOP and the conversion worker.
#include <system_error>

#include "control_ids.h"
#include "converter_dialog.h"
#include "messages.h"
#include "outcome_message.h"

namespace vantrel {

void ConverterDialog::OnEncode() {
    if (m_closed || durationHundredths() == 0) return;
    if (m_converting) {
        StopConversion();
    } else {
        StartConversion();
    }
}

void ConverterDialog::StopConversion() {
    // Whoever clears the flag owns the return to idle: if the worker's run
    // ended by itself a moment ago, the worker has done it already.
    if (!m_converting.exchange(false)) return;
    ShowIdleButtons();
    if (m_stopEvent) m_stopEvent->Signal();
    // The worker keeps its own reference until its run has stopped polling.
    m_stopEvent.reset();
}

void ConverterDialog::StartConversion() {
    WaitForWorker();
    m_stopEvent = std::make_shared<StopSignal>();
    m_converting = true;
    ShowConvertingButtons();
    ConversionRequest request{m_sourcePath, m_targetPath, ConversionRequest::kStandardFlags};
    m_converter.SetVideoBitrate(m_videoBitrate);
    m_converter.state().progressEnabled = true;
    try {
        m_workerThread =
            std::thread(&ConverterDialog::ConversionWorker, this, std::move(request), m_stopEvent);
    } catch (const std::system_error&) {
        // Left converting with no worker: only STOP brings the window back.
        m_window.ShowMessage(kFailedToExecuteMessage);
    }
}

void ConverterDialog::ConversionWorker(ConversionRequest request,
                                       std::shared_ptr<StopSignal> stop) {
    const ConversionOutcome outcome =
        m_converter.RunConversion(request, Converter::kConversionMode, std::move(stop));
    m_runResult = outcome;
    // The buttons first, then the message, so the window is idle behind it.
    if (m_converting.exchange(false)) ShowIdleButtons();
    ReportRunResult(outcome, request.sourcePath);
}

void ConverterDialog::ReportRunResult(ConversionOutcome outcome, const std::string& sourcePath) {
    m_converter.state().progressEnabled = false;
    const std::string message = OutcomeMessage(outcome, sourcePath);
    if (!message.empty()) m_window.ShowMessage(message);
}

}  // namespace vantrel
