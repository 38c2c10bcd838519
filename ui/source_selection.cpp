// OPEN: choosing the source, naming the target and probing the source.
#include "control_ids.h"
#include "converter_dialog.h"
#include "outcome_message.h"
#include "string_table.h"
#include "target_naming.h"

namespace vantrel {

void ConverterDialog::OnOpenSource() {
    if (m_closed || m_converting) return;
    const std::optional<std::string> chosen = m_window.ChooseSourceFile();
    if (!chosen) return;
    OpenSource(*chosen);
}

void ConverterDialog::OnFilesDropped(const std::vector<std::string>& paths) {
    // OPEN is disabled while converting; a drop must not get round that.
    if (m_closed || m_converting || paths.empty()) return;
    OpenSource(paths.front());
}

void ConverterDialog::OpenSource(const std::string& path) {
    // A stopped conversion may still be winding down; its last reports must
    // reach the window before this source's, and its run must have deleted
    // its own partial target before the probe starts.
    WaitForWorker();

    m_converter.state().progressEnabled = false;
    m_window.PostProgress(0);

    std::string target = m_targetPath;
    if (DeriveTargetPath(target, path, kTargetExtension) != kTargetDerived) return;
    m_targetPath = target;
    m_sourcePath = path;
    const size_t slash = path.rfind('/');
    m_sourceName = slash == std::string::npos ? path : path.substr(slash + 1);
    m_window.SetControlText(kIdFileName, m_sourceName);
    m_window.EnableControl(kIdEncode, true);

    ProbeSource();
}

void ConverterDialog::ClearInformationPanel() {
    for (int id = kIdDuration; id <= kIdFrameRate; ++id) m_window.SetControlText(id, "");
    m_converter.state().durationHundredths = 0;
}

void ConverterDialog::ProbeSource() {
    // Without this the panel would describe the previous source beside the new
    // name, and Encode would convert with the previous source's duration.
    ClearInformationPanel();

    const std::string sourcePath = m_sourcePath;
    const ConversionRequest probe{sourcePath, "", ConversionRequest::kStandardFlags};
    m_window.SetBusy(true);
    const ConversionOutcome outcome =
        m_converter.RunConversion(probe, Converter::kProbeMode, nullptr);
    m_window.SetBusy(false);

    std::string message = OutcomeMessage(outcome, sourcePath);
    // A probe that ran but found no duration leaves Encode inert; say why.
    // (An encoder that could not start has already said so.)
    if (message.empty() && outcome == kConverted && durationHundredths() == 0) {
        message = OutcomeMessage(kUndecodableSource, sourcePath);
    }
    if (!message.empty()) m_window.ShowMessage(message);
}

}  // namespace vantrel
