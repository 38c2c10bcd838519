// OPEN: choosing the source, naming the target and probing the source.
#include "ui/control_ids.h"
#include "ui/converter_dialog.h"
#include "conversion/outcome_message.h"
#include "ui/path_parts.h"
#include "conversion/source_types.h"
#include "conversion/target_naming.h"

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
    std::string target;
    if (DeriveTargetPath(target, path, kTargetExtension) != kTargetDerived) return;
    // A run just stopped may still be winding down (STOP ends ffmpeg at once):
    // its last reports must reach the window before this source's reset.
    JoinWorker();
    m_targetPath = target;
    m_sourcePath = path;
    m_window.SetControlText(kIdFileName, FileNamePart(path));
    if (const std::string folder = FolderPart(path); !folder.empty()) {
        m_folder = folder;
        Remember(kFolderKey, m_folder);
    }
    // Without this the panel would describe the previous source beside the new
    // name until the probe is over.
    m_source = {};
    for (int id = kIdDuration; id <= kIdFrameRate; ++id) m_window.SetControlText(id, "");
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
        const ProbeResult result = m_converter.Probe(path, &stop);
        m_window.RunOnUiThread([this, run, result] { ProbeEnded(run, result); });
    });
    if (!started) ProbeEnded(run, {kStopped, {}});
}

void ConverterDialog::ProbeEnded(uint64_t run, const ProbeResult& result) {
    if (m_closed || run != m_run) return;
    JoinWorker();
    m_activity = Activity::kIdle;
    m_window.SetBusy(false);
    m_source = result.source;
    for (int id = kIdDuration; id <= kIdFrameRate; ++id) {
        m_window.SetControlText(id, m_source.Text(static_cast<PanelField>(id)));
    }
    ShowIdle();
    ShowExpectedSize();
    const std::string message = OutcomeMessage(result.outcome, m_sourcePath);
    if (!message.empty()) m_window.ShowMessage(message);
}

}  // namespace vantrel
