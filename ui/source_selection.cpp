// OPEN: choosing the source, naming the target and probing the source.
#include "conversion/outcome_message.h"
#include "conversion/target_naming.h"
#include "ui/control_ids.h"
#include "ui/converter_dialog.h"
#include "platform/utf8_path.h"

namespace vantrel {

void ConverterDialog::OnOpenSource() {
    if (m_closed || m_activity != Activity::kIdle) return;
    const std::optional<std::string> chosen = m_window.ChooseSourceFile(m_folder);
    if (chosen) OpenSource(*chosen);
}

void ConverterDialog::OnFilesDropped(const std::vector<std::string>& paths) {
    // OPEN is disabled while busy; a drop must not get round that.
    if (m_closed || m_activity != Activity::kIdle || paths.empty()) return;
    OpenSource(paths.front());
}

void ConverterDialog::OnOpenPath(const std::string& path) {
    if (m_closed || m_activity != Activity::kIdle) return;
    OpenSource(path);
}

void ConverterDialog::OpenSource(const std::string& path) {
    // A name that is not a movie's is passed over, as the chooser's filter
    // would have.
    const Expected<std::string> target = TargetPathFor(path);
    if (!target) return;
    // A run just stopped may still be winding down (STOP ends ffmpeg at once):
    // its last reports must reach the window before this source's reset.
    JoinWorker();
    m_targetPath = *target;
    m_sourcePath = path;
    m_window.SetControlText(kIdFileName, FileNamePart(path));
    if (const std::string folder = FolderPart(path); !folder.empty()) {
        m_folder = folder;
        Remember(kFolderKey, m_folder);
    }
    // Without this the panel would describe the previous source beside the new
    // name until the probe is over.
    m_source = {};
    ShowSource();
    m_window.SetControlText(kIdStatus, "");
    m_window.PostProgress(0);

    // A source on a stalled mount, or a named pipe, can keep ffmpeg waiting
    // for ever: the probe runs on the worker, and the window stays usable.
    m_activity = Activity::kProbing;
    const uint64_t run = ++m_run;
    m_window.SetBusy(true);
    m_window.EnableControl(kIdOpen, false);
    m_window.EnableControl(kIdEncode, false);
    const bool started = StartWorker([this, run, path](const StopSignal& stop) {
        const Expected<SourceDescription, ProbeFailure> result = m_converter.Probe(path, &stop);
        m_window.RunOnUiThread([this, run, result] { ProbeEnded(run, result); });
    });
    if (!started) ProbeEnded(run, Fail(ProbeFailure{ConversionOutcome::kStopped, {}}));
}

void ConverterDialog::ProbeEnded(uint64_t run, const Expected<SourceDescription, ProbeFailure>& result) {
    if (m_closed || run != m_run) return;
    JoinWorker();
    m_activity = Activity::kIdle;
    m_window.SetBusy(false);
    m_source = result ? *result : SourceDescription{};
    ShowSource();
    ShowIdle();
    ShowExpectedSize();
    if (result) return;
    const std::string message =
        OutcomeMessage(result.reason().outcome, m_sourcePath, result.reason().reason);
    if (!message.empty()) m_window.ShowMessage(message);
}

}  // namespace vantrel
