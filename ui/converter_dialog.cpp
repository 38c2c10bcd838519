#include "ui/converter_dialog.h"

#include <algorithm>
#include <charconv>
#include <system_error>

#include "conversion/language_code.h"
#include "conversion/simultaneous_conversions.h"
#include "conversion/string_table.h"
#include "platform/system_language.h"
#include "platform/translation.h"
#include "ui/control_ids.h"
#include "ui/preview_files.h"
#include "ui/status_line.h"

namespace vantrel {
namespace {

// More at once only makes each slower: ffmpeg keeps a core busy of its own.
constexpr int kMostSimultaneous = 64;

}  // namespace

ConverterDialog::ConverterDialog(DialogWindow& window, EncoderSetup setup,
                                 SettingsStore* settings, SystemPower* power)
    : m_window(window),
      m_setup(std::move(setup)),
      m_settings(settings),
      m_power(power),
      m_previewPrefix("vantrel-preview-" + RandomName() + "-") {}

ConverterDialog::~ConverterDialog() { OnClose(); }

// A remembered value that is not one of the choices, as a damaged settings
// file may hold, leaves the default.
void ConverterDialog::OnInitDialog() {
    const std::optional<Quality> quality = kPlayerFormat.QualityNamed(Remembered(kQualityKey));
    m_videoKilobits = quality ? quality->videoKilobits : kPlayerFormat.defaultVideoKilobits;
    const std::optional<PictureFitChoice> fit = PictureFitNamed(Remembered(kPictureKey));
    m_fit = fit ? fit->fit : kDefaultPictureFit;
    m_folder = Remembered(kFolderKey);
    RememberedSaveTo();
    const std::string simultaneous = Remembered(kSimultaneousKey);
    const char* end = simultaneous.data() + simultaneous.size();
    const auto [stop, fault] = std::from_chars(simultaneous.data(), end, m_simultaneous);
    if (fault != std::errc() || stop != end || m_simultaneous < 1 || m_simultaneous > kMostSimultaneous) {
        m_simultaneous = DefaultSimultaneousConversions();
    }
    // These have no controls: the settings file or the registry sets them.
    const std::string language = Remembered(kLanguageKey);
    m_language = CanonicalLanguage(language).empty() ? SystemLanguage() : language;
    m_normalize = Remembered(kNormalizeKey) != "false";
    m_subtitleEncoding = Remembered(kSubtitleEncodingKey);
    for (size_t i = 0; i < kQualityRadios.size(); ++i) {
        m_window.CheckControl(kQualityRadios[i],
                              kPlayerFormat.qualities[i].videoKilobits == m_videoKilobits);
    }
    for (size_t i = 0; i < kPictureFitRadios.size(); ++i) {
        m_window.CheckControl(kPictureFitRadios[i], kPictureFits[i].fit == m_fit);
    }
    ShowSaveToChoices();
    WatchCards();
    ShowSubtitleChoices();
    m_window.SetPreview({});
    m_window.PostProgress(0);
    ShowButtons();
    ShowWhenDoneChoices();
    ReadWhenDoneSettings();
}

// Rows already converting keep the quality they started with.
void ConverterDialog::OnQuality(int radioId) {
    const auto radio = std::find(kQualityRadios.begin(), kQualityRadios.end(), radioId);
    if (radio == kQualityRadios.end()) return;
    const Quality& quality = kPlayerFormat.qualities[radio - kQualityRadios.begin()];
    m_videoKilobits = quality.videoKilobits;
    Remember(kQualityKey, quality.name);
    if (m_closed) return;
    for (const SourceRow& row : m_rows) {
        if (row.Runnable()) ShowRow(row);
    }
    if (!m_converting) ShowIdleStatus();
}

void ConverterDialog::OnPictureFit(int radioId) {
    const auto radio = std::find(kPictureFitRadios.begin(), kPictureFitRadios.end(), radioId);
    if (radio == kPictureFitRadios.end()) return;
    const PictureFitChoice& fit = kPictureFits[radio - kPictureFitRadios.begin()];
    m_fit = fit.fit;
    Remember(kPictureKey, fit.name);
    RequestPreview();
}

std::string ConverterDialog::Remembered(std::string_view key) const {
    return m_settings == nullptr ? std::string() : m_settings->Read(key).value_or("");
}

void ConverterDialog::Remember(std::string_view key, std::string_view value) {
    if (m_settings != nullptr) m_settings->Write(key, value);
}

ConversionRequest ConverterDialog::RequestFor(const SourceRow& row, const std::string& target) const {
    ConversionRequest request;
    request.sourcePath = row.sourcePath;
    request.targetPath = target;
    request.videoKilobits = m_videoKilobits;
    request.fit = m_fit;
    request.subtitles = row.subtitles;
    request.trim = row.trim;
    request.preferredLanguage = m_language;
    request.normalizeLoudness = m_normalize;
    request.subtitleEncoding = m_subtitleEncoding;
    request.threads = ThreadsPerConversion(m_simultaneous);
    return request;
}

void ConverterDialog::OnClose() {
    if (m_closed) return;
    m_closed = true;
    m_cardWatcher.reset();  // its last word, if any, finds the dialog closed
    const bool probing = RunningJobs(false) > 0;
    for (auto& [number, job] : m_jobs) job.stop->Signal();
    for (auto& [number, job] : m_previews) job.stop->Signal();
    for (auto& [number, job] : m_jobs) {
        if (job.thread.joinable()) job.thread.join();
    }
    for (auto& [number, job] : m_previews) {
        if (job.thread.joinable()) job.thread.join();
    }
    m_jobs.clear();
    m_previews.clear();
    if (probing) m_window.SetBusy(false);
}

std::optional<uint64_t> ConverterDialog::StartJob(
    ListRowKey row, bool converts, std::function<void(uint64_t job, const StopSignal&)> body) {
    const uint64_t number = ++m_lastJob;
    Job& job = m_jobs[number];
    job.row = row;
    job.converts = converts;
    job.stop = std::make_shared<StopSignal>();
    try {
        job.thread = std::thread([body = std::move(body), number, stop = job.stop] { body(number, *stop); });
    } catch (const std::system_error&) {
        m_jobs.erase(number);
        return std::nullopt;
    }
    return number;
}

// The job's worker has handed over its result, its last act: it ends at once.
void ConverterDialog::EndJob(uint64_t number) {
    const auto job = m_jobs.find(number);
    if (job == m_jobs.end()) return;
    if (job->second.thread.joinable()) job->second.thread.join();
    m_jobs.erase(job);
}

size_t ConverterDialog::RunningJobs(bool converts) const {
    return static_cast<size_t>(std::count_if(m_jobs.begin(), m_jobs.end(), [converts](const auto& job) {
        return job.second.converts == converts;
    }));
}

SourceRow* ConverterDialog::Row(ListRowKey key) {
    const auto row = std::find_if(m_rows.begin(), m_rows.end(),
                                  [key](const SourceRow& r) { return r.key == key; });
    return row == m_rows.end() ? nullptr : &*row;
}

void ConverterDialog::ShowRow(const SourceRow& row) {
    m_window.SetListRow(row.key, RowTexts(row, m_videoKilobits));
}

// Encode converts what waits once a probe has described it; OPEN and the
// list's buttons stay usable while the list converts.
void ConverterDialog::ShowButtons() {
    const bool anyToConvert = std::any_of(m_rows.begin(), m_rows.end(), [](const SourceRow& r) {
        return r.Runnable() && r.probed;
    });
    // During the notice before sleep or shutting down, Encode cancels it. What
    // a click does follows the state, never the words shown.
    if (InNotice()) {
        // TRANSLATORS: the Encode button during the countdown before the computer sleeps or shuts down.
        m_window.SetControlText(kIdEncode, Tr("Cancel"));
    } else {
        m_window.SetControlText(kIdEncode, Text(m_converting ? MessageKey::kStop : MessageKey::kEncode));
    }
    m_window.EnableControl(kIdEncode, InNotice() || m_converting || anyToConvert);
    m_window.EnableControl(kIdRemove, !m_rows.empty());
    m_window.EnableControl(kIdClearFinished, std::any_of(m_rows.begin(), m_rows.end(),
                                                         [](const SourceRow& r) { return r.Finished(); }));
    // A row that starts keeps its subtitles and its part: the list and the
    // times are for those still waiting.
    ShowSubtitleChoices();
    const SourceRow* shown = Row(m_shown);
    m_window.EnableControl(kIdTrimFrom, shown != nullptr && shown->Runnable());
    m_window.EnableControl(kIdTrimTo, shown != nullptr && shown->Runnable());
}

}  // namespace vantrel
