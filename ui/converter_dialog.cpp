#include "ui/converter_dialog.h"

#include <algorithm>
#include <system_error>

#include "ui/control_ids.h"
#include "ui/status_line.h"
#include "conversion/string_table.h"

namespace vantrel {

ConverterDialog::ConverterDialog(DialogWindow& window, EncoderSetup setup,
                                 SettingsStore* settings)
    : m_window(window), m_converter(std::move(setup)), m_settings(settings) {}

ConverterDialog::~ConverterDialog() { OnClose(); }

// A remembered value that is not one of the choices, as a damaged settings
// file may hold, leaves the default.
void ConverterDialog::OnInitDialog() {
    m_window.EnableControl(kIdEncode, false);
    const std::optional<Quality> quality = kPlayerFormat.QualityNamed(Remembered(kQualityKey));
    m_videoKilobits = quality ? quality->videoKilobits : kPlayerFormat.defaultVideoKilobits;
    const std::optional<PictureFitChoice> fit = PictureFitNamed(Remembered(kPictureKey));
    m_fit = fit ? fit->fit : kDefaultPictureFit;
    m_folder = Remembered(kFolderKey);
    for (size_t i = 0; i < kQualityRadios.size(); ++i) {
        m_window.CheckControl(kQualityRadios[i],
                              kPlayerFormat.qualities[i].videoKilobits == m_videoKilobits);
    }
    for (size_t i = 0; i < kPictureFitRadios.size(); ++i) {
        m_window.CheckControl(kPictureFitRadios[i], kPictureFits[i].fit == m_fit);
    }
    m_window.PostProgress(0);
}

// A click during a conversion reaches only the next one.
void ConverterDialog::OnQuality(int radioId) {
    const auto radio = std::find(kQualityRadios.begin(), kQualityRadios.end(), radioId);
    if (radio == kQualityRadios.end()) return;
    const Quality& quality = kPlayerFormat.qualities[radio - kQualityRadios.begin()];
    m_videoKilobits = quality.videoKilobits;
    Remember(kQualityKey, quality.name);
    if (!m_closed && m_activity == Activity::kIdle) ShowExpectedSize();
}

void ConverterDialog::OnPictureFit(int radioId) {
    const auto radio = std::find(kPictureFitRadios.begin(), kPictureFitRadios.end(), radioId);
    if (radio == kPictureFitRadios.end()) return;
    const PictureFitChoice& fit = kPictureFits[radio - kPictureFitRadios.begin()];
    m_fit = fit.fit;
    Remember(kPictureKey, fit.name);
}

std::string ConverterDialog::Remembered(std::string_view key) const {
    return m_settings == nullptr ? std::string() : m_settings->Read(key).value_or("");
}

void ConverterDialog::Remember(std::string_view key, std::string_view value) {
    if (m_settings != nullptr) m_settings->Write(key, value);
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
        m_window.ShowMessage(Text(MessageKey::kFailedToExecute));
        return false;
    }
    return true;
}

void ConverterDialog::JoinWorker() {
    if (m_worker.joinable()) m_worker.join();
}

void ConverterDialog::ShowIdle() {
    m_window.SetControlText(kIdEncode, Text(MessageKey::kEncode));
    m_window.EnableControl(kIdOpen, true);
    m_window.EnableControl(kIdEncode, m_source.read);
}

void ConverterDialog::ShowExpectedSize() {
    const std::optional<int64_t> duration = m_source.durationHundredths;
    m_window.SetControlText(kIdStatus, m_source.read && duration && *duration > 0
                                           ? ExpectedSizeStatus(m_videoKilobits, *duration)
                                           : "");
}

void ConverterDialog::ShowSource() {
    for (const PanelField field : kPanelFields) m_window.SetControlText(ControlOf(field), m_source.Text(field));
}

}  // namespace vantrel
