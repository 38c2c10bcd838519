// Encode/STOP and the conversion worker.
#include <chrono>

#include "conversion/outcome_message.h"
#include "conversion/progress_line.h"
#include "conversion/string_table.h"
#include "ui/control_ids.h"
#include "ui/converter_dialog.h"
#include "platform/utf8_path.h"
#include "ui/status_line.h"

namespace vantrel {
namespace {

// One conversion's progress, on its worker, straight to the window's queue,
// in words too. The panel keeps the probe's description of the same source.
// The run's end, queued after its last report, has the last word on the
// status line, so a report still on its way after STOP does not stay there.
class RunReports : public EncoderReportSink {
public:
    explicit RunReports(DialogWindow& window) : m_window(window) {}

    void SourceDescribed(const SourceDescription&) override {}
    void Progressed(const ProgressReport& progress) override {
        if (progress.position) m_window.PostProgress(*progress.position);
        m_window.SetControlText(kIdStatus, ConvertingStatus(ComputeProgress(progress, Seconds())));
    }

private:
    double Seconds() const {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - m_start).count();
    }

    DialogWindow& m_window;
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
            if (m_source.read) StartConversion();
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
    m_window.SetControlText(kIdEncode, Text(MessageKey::kStop));
    m_window.EnableControl(kIdOpen, false);
    m_window.PostProgress(0);
    m_window.SetControlText(kIdStatus, ConvertingStatus(ComputeProgress({0, 0}, 0.0)));
    const ConversionRequest request{m_sourcePath, m_targetPath, m_videoKilobits, m_fit};
    const bool started = StartWorker([this, run, request, source = m_source](const StopSignal& stop) {
        RunReports reports(m_window);
        const ConversionReport report = m_converter.Convert(request, &source, &stop, reports);
        m_window.RunOnUiThread([this, run, report, path = request.sourcePath] {
            ConversionEnded(run, report, path);
        });
    });
    if (!started) {
        ConversionReport notStarted;
        notStarted.outcome = ConversionOutcome::kStopped;
        ConversionEnded(run, notStarted, m_sourcePath);
    }
}

void ConverterDialog::ConversionEnded(uint64_t run, const ConversionReport& report,
                                      const std::string& sourcePath) {
    if (m_closed) return;
    const std::string message = OutcomeMessage(report.outcome, sourcePath, report.reason);
    // The buttons first, then the message, so the window is idle behind it.
    if (run == m_run) {
        JoinWorker();
        if (m_activity == Activity::kConverting) {
            m_activity = Activity::kIdle;
            ShowIdle();
        }
        if (report.outcome == ConversionOutcome::kConverted) {
            const std::string status =
                ConvertedStatus(FileNamePart(report.target), report.targetBytes,
                                report.seconds, report.notes);
            m_window.PostProgress(kProgressRange);
            m_window.SetControlText(kIdStatus, status);
            m_window.NotifyConversionEnded(status);
        } else {
            // A failed run never shows a full bar; a stopped one shows how far it came.
            if (report.outcome != ConversionOutcome::kStopped) m_window.PostProgress(0);
            ShowExpectedSize();
            if (!message.empty()) m_window.NotifyConversionEnded(message);
        }
    }
    if (!message.empty()) m_window.ShowMessage(message);
}

}  // namespace vantrel
