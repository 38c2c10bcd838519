#include "converter_dialog.h"

#include <system_error>

#include "control_ids.h"
#include "qualities.h"
#include "string_table.h"

namespace vantrel {

static_assert(kQualities[0].radioId == kIdQualityLowest &&
                  kQualities[1].radioId == kIdQualityMediumLo &&
                  kQualities[2].radioId == kIdQualityMediumHi &&
                  kQualities[3].radioId == kIdQualityHighest,
              "the qualities name the window's radio buttons");

ConverterDialog::ConverterDialog(DialogWindow& window, EncoderSetup setup)
    : m_window(window), m_converter(std::move(setup)) {}

ConverterDialog::~ConverterDialog() { OnClose(); }

void ConverterDialog::OnInitDialog() {
    m_window.EnableControl(kIdEncode, false);
    m_videoBitrate = kDefaultVideoBitrate;
    for (const Quality& quality : kQualities) {
        m_window.CheckControl(quality.radioId, quality.kilobits == kDefaultVideoBitrate);
    }
    m_window.PostProgress(0);
}

// A click during a conversion reaches only the next one.
void ConverterDialog::OnQuality(int radioId) {
    if (const std::optional<Quality> quality = QualityOfRadio(radioId)) {
        m_videoBitrate = quality->kilobits;
    }
}

void ConverterDialog::OnClose() {
    if (m_closed) return;
    m_closed = true;
    if (m_stop) m_stop->Signal();
    JoinWorker();
    if (m_activity == Activity::kProbing) m_window.SetBusy(false);
}

bool ConverterDialog::StartWorker(std::function<void(const StopSignal&)> body) {
    JoinWorker();
    m_stop = std::make_shared<StopSignal>();
    try {
        m_worker = std::thread([body = std::move(body), stop = m_stop] { body(*stop); });
    } catch (const std::system_error&) {
        m_window.ShowMessage(kFailedToExecuteMessage);
        return false;
    }
    return true;
}

void ConverterDialog::JoinWorker() {
    if (m_worker.joinable()) m_worker.join();
}

void ConverterDialog::ShowIdle() {
    m_window.SetControlText(kIdEncode, LoadStringResource(kIdsEncode));
    m_window.EnableControl(kIdOpen, true);
    m_window.EnableControl(kIdEncode, !m_sourcePath.empty());
}

void ConverterDialog::SetPanelText(PanelField field, std::string_view text) {
    m_window.SetControlText(static_cast<int>(field), text);
}

void ConverterDialog::PostProgress(int32_t position) { m_window.PostProgress(position); }

}  // namespace vantrel
