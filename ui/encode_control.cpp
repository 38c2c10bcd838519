// Encode/STOP and the conversion worker.
#include <chrono>

#include "ui/control_ids.h"
#include "ui/converter_dialog.h"
#include "parse/encoder_report_sink.h"
#include "conversion/outcome_message.h"
#include "ui/path_parts.h"
#include "ui/status_line.h"
#include "conversion/string_table.h"
#include "platform/target_file.h"

namespace vantrel {
namespace {

// One conversion's reports, on its worker, straight to the window's queue; the
// progress in words too. The run's end, queued after its last report, has the
// last word on the status line, so a report still on its way after STOP does
// not stay there.
class RunReports : public EncoderReportSink {
public:
    RunReports(DialogWindow& window, double durationSeconds)
        : m_window(window), m_duration(durationSeconds) {}

    void SetPanelText(PanelField field, std::string_view text) override {
        m_window.SetControlText(static_cast<int>(field), text);
    }
    void PostProgress(int32_t position) override {
        m_window.PostProgress(position);
        m_window.SetControlText(kIdStatus,
                                ConvertingStatus(ComputeProgress(position, m_duration, Seconds())));
    }
    double Seconds() const {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - m_start).count();
    }

private:
    DialogWindow& m_window;
    const double m_duration;
    const std::chrono::steady_clock::time_point m_start = std::chrono::steady_clock::now();
};

}  // namespace

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
    ShowExpectedSize();
}

void ConverterDialog::StartConversion() {
    m_activity = Activity::kConverting;
    const uint64_t run = ++m_run;
    m_window.SetControlText(kIdEncode, LoadStringResource(kIdsStop));
    m_window.EnableControl(kIdOpen, false);
    m_window.SetControlText(kIdStatus, ConvertingStatus({}));
    const ConversionRequest request{m_sourcePath, m_targetPath, m_videoBitrate, m_fit,
                                    m_source.hasSound};
    const double duration = static_cast<double>(m_source.durationHundredths) / 100.0;
    const bool started = StartWorker([this, run, request, duration](const StopSignal& stop) {
        RunReports reports(m_window, duration);
        const ConversionOutcome outcome = m_converter.Convert(request, &stop, reports);
        m_window.RunOnUiThread(
            [this, run, outcome, source = request.sourcePath, seconds = reports.Seconds()] {
                ConversionEnded(run, outcome, source, seconds);
            });
    });
    if (!started) ConversionEnded(run, kStopped, m_sourcePath, 0.0);
}

void ConverterDialog::ConversionEnded(uint64_t run, ConversionOutcome outcome,
                                      const std::string& sourcePath, double seconds) {
    if (m_closed) return;
    const std::string message = OutcomeMessage(outcome, sourcePath);
    // The buttons first, then the message, so the window is idle behind it.
    if (run == m_run) {
        JoinWorker();
        if (m_activity == Activity::kConverting) {
            m_activity = Activity::kIdle;
            ShowIdle();
        }
        if (outcome == kConverted) {
            const std::string status =
                ConvertedStatus(FileNamePart(m_targetPath), GetFileLength(m_targetPath), seconds);
            m_window.SetControlText(kIdStatus, status);
            m_window.NotifyConversionEnded(status);
        } else {
            ShowExpectedSize();
            if (!message.empty()) m_window.NotifyConversionEnded(message);
        }
    }
    if (!message.empty()) m_window.ShowMessage(message);
}

}  // namespace vantrel
