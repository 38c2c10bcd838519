#include "ui/converter_dialog.h"

#include <system_error>

#include "ui/control_ids.h"
#include "conversion/qualities.h"
#include "ui/status_line.h"
#include "conversion/string_table.h"

namespace vantrel {

static_assert(kQualities[0].radioId == kIdQualityLowest &&
                  kQualities[1].radioId == kIdQualityMediumLo &&
                  kQualities[2].radioId == kIdQualityMediumHi &&
                  kQualities[3].radioId == kIdQualityHighest,
              "the qualities name the window's radio buttons");
static_assert(kPictureFits[0].radioId == kIdPictureFit &&
                  kPictureFits[1].radioId == kIdPictureFill &&
                  kPictureFits[2].radioId == kIdPictureStretch,
              "the picture fits name the window's radio buttons");

ConverterDialog::ConverterDialog(DialogWindow& window, EncoderSetup setup,
                                 SettingsStore* settings)
    : m_window(window), m_converter(std::move(setup)), m_settings(settings) {}

ConverterDialog::~ConverterDialog() { OnClose(); }

// A remembered value that is not one of the choices, as a damaged settings
// file may hold, leaves the default.
void ConverterDialog::OnInitDialog() {
    m_window.EnableControl(kIdEncode, false);
    const std::optional<Quality> quality = QualityNamed(Remembered(kQualityKey));
    m_videoBitrate = quality ? quality->kilobits : kDefaultVideoBitrate;
    const std::optional<PictureFitChoice> fit = PictureFitNamed(Remembered(kPictureKey));
    m_fit = fit ? fit->fit : kDefaultPictureFit;
    m_folder = Remembered(kFolderKey);
    for (const Quality& q : kQualities) m_window.CheckControl(q.radioId, q.kilobits == m_videoBitrate);
    for (const PictureFitChoice& f : kPictureFits) m_window.CheckControl(f.radioId, f.fit == m_fit);
    m_window.PostProgress(0);
}

// A click during a conversion reaches only the next one.
void ConverterDialog::OnQuality(int radioId) {
    if (const std::optional<Quality> quality = QualityOfRadio(radioId)) {
        m_videoBitrate = quality->kilobits;
        Remember(kQualityKey, quality->name);
        if (!m_closed && m_activity == Activity::kIdle) ShowExpectedSize();
    }
}

void ConverterDialog::OnPictureFit(int radioId) {
    if (const std::optional<PictureFitChoice> fit = PictureFitOfRadio(radioId)) {
        m_fit = fit->fit;
        Remember(kPictureKey, fit->name);
    }
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

void ConverterDialog::ShowExpectedSize() {
    const int64_t duration = m_source.durationHundredths;
    m_window.SetControlText(kIdStatus, duration > 0 ? ExpectedSizeStatus(m_videoBitrate, duration) : "");
}

}  // namespace vantrel
