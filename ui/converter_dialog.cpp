#include "converter_dialog.h"

#include "control_ids.h"
#include "string_table.h"

namespace vantrel {

ConverterDialog::ConverterDialog(DialogWindow& window, EncoderSetup setup)
    : m_window(window), m_converter(std::move(setup), *this) {}

ConverterDialog::~ConverterDialog() { OnClose(); }

void ConverterDialog::OnInitDialog() {
    m_converting = false;
    m_stopEvent.reset();
    m_window.EnableControl(kIdEncode, false);
    m_videoBitrate = 256;
    m_window.CheckControl(kIdQualityLowest, false);
    m_window.CheckControl(kIdQualityMediumLo, true);
    m_window.CheckControl(kIdQualityMediumHi, false);
    m_window.CheckControl(kIdQualityHighest, false);
    m_window.PostProgress(0);
}

// A click during a conversion reaches only the next one: Encode hands the
// bitrate to the engine when it starts a run.
void ConverterDialog::OnQualityLowest() { m_videoBitrate = 192; }
void ConverterDialog::OnQualityMediumLo() { m_videoBitrate = 256; }
void ConverterDialog::OnQualityMediumHi() { m_videoBitrate = 320; }
void ConverterDialog::OnQualityHighest() { m_videoBitrate = 384; }

void ConverterDialog::OnClose() {
    if (m_closed) return;
    m_closed = true;
    if (m_converting.exchange(false) && m_stopEvent) m_stopEvent->Signal();
    WaitForWorker();
}

std::optional<ConversionOutcome> ConverterDialog::WaitForWorker() {
    if (!m_workerThread.joinable()) return std::nullopt;
    m_workerThread.join();
    // Its conversion is over, stopped or not; the signal has served.
    m_stopEvent.reset();
    return m_runResult;
}

void ConverterDialog::ShowIdleButtons() {
    m_window.EnableControl(kIdOpen, true);
    m_window.SetControlText(kIdEncode, LoadStringResource(kIdsEncode));
}

void ConverterDialog::ShowConvertingButtons() {
    m_window.SetControlText(kIdEncode, LoadStringResource(kIdsStop));
    m_window.EnableControl(kIdOpen, false);
}

void ConverterDialog::SetPanelText(PanelField field, std::string_view text) {
    m_window.SetControlText(static_cast<int>(field), text);
}

void ConverterDialog::PostProgress(int32_t position) { m_window.PostProgress(position); }

void ConverterDialog::ShowMessage(std::string_view text) { m_window.ShowMessage(text); }

}  // namespace vantrel
