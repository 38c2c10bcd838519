#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <tuple>
#include <vector>

#include "conversion/conversion_report.h"
#include "conversion/converter.h"
#include "conversion/output_format.h"
#include "conversion/picture_fit.h"
#include "platform/removable_cards.h"
#include "platform/stop_signal.h"
#include "platform/system_power.h"
#include "ui/dialog_window.h"
#include "ui/settings_store.h"
#include "ui/source_row.h"

namespace vantrel {

// The converter window's logic and state, free of any toolkit: the list of
// files and how they are added (OPEN, drops, the command line), their probes,
// the panel that describes the selected row with its sound, subtitles and
// preview, the quality and picture buttons, "Save to", Encode/STOP over the
// whole list and the status line. It speaks to the screen only through
// DialogWindow, and remembers the user's choices in a SettingsStore.
//
// Threads. Every public member is called on the UI thread, and only the UI
// thread reads or writes the dialog's state. Each probe, each conversion and
// the preview runs on a worker thread of its own, several at once; a worker reaches the
// window only through its queued calls, and hands its reports and its result
// back with RunOnUiThread. It never waits for the UI thread. So what the
// buttons and rows show is what the UI thread decides on: a click is judged
// by the state the user saw.
class ConverterDialog {
public:
    // Without `settings` every start begins with the defaults; without
    // `power` the computer is never put to sleep or shut down.
    ConverterDialog(DialogWindow& window, EncoderSetup setup, SettingsStore* settings = nullptr,
                    SystemPower* power = nullptr);
    // Closes, if the owner has not: running probes and conversions are stopped.
    ~ConverterDialog();
    ConverterDialog(const ConverterDialog&) = delete;
    ConverterDialog& operator=(const ConverterDialog&) = delete;

    // Once, when the window's controls exist: an empty list, and the choices
    // remembered from the last run.
    void OnInitDialog();

    // OPEN: asks the window for files, and adds them to the list.
    void OnOpenSource();
    // Files and folders dropped on the window, or named on the program's
    // command line: added as OPEN adds, a folder with the movies in it.
    void OnAddPaths(const std::vector<std::string>& paths);
    // Encode converts the list's waiting rows; STOP, while converting, stops
    // every running one.
    void OnEncode();
    // One of the quality radio buttons, by its control id.
    void OnQuality(int radioId);
    // One of the picture's radio buttons, by its control id.
    void OnPictureFit(int radioId);
    // One of "Save to"'s choices, by its place.
    void OnSaveTo(int choice);
    // The cards plugged in now, as the watcher's thread listed them.
    void OnCardsChanged(const std::vector<RemovableCard>& cards);
    // The list's selection has changed: the first selected row is described.
    void OnListSelectionChanged();
    // One of the Subtitles list's choices, by its place: for the selected
    // rows that have not started.
    void OnSubtitles(int choice);
    // "From" and "To", as typed (h:mm:ss, m:ss or seconds; empty: the
    // beginning or the end), for the selected rows that have not started;
    // none for a field the user has not changed, which each row keeps as it
    // is. Times that are not times, or a From not before To, change nothing
    // and say why on the status line.
    void OnTrim(std::optional<std::string_view> from, std::optional<std::string_view> to);
    // One of the radio buttons of what happens once the list is done, by
    // its control id. It is "Do nothing" at every start, and again once the
    // computer has been asked to sleep or shut down. Choosing "Do nothing"
    // during the notice before either cancels it.
    void OnWhenDone(int radioId);
    // Remove, or Delete in the list: the selected rows that are not
    // converting go.
    void OnRemove();
    // Clear Finished: the converted, failed and skipped rows go.
    void OnClearFinished();
    // Exit, Esc, the close box or a termination signal: running probes and
    // conversions are stopped and their workers waited for. Afterwards nothing
    // touches the window and the handlers do nothing.
    void OnClose();

    bool converting() const { return m_converting; }
    // Whether a probe or a conversion has not yet handed back its end.
    bool working() const { return !m_jobs.empty(); }
    int32_t videoKilobits() const { return m_videoKilobits; }
    const std::vector<SourceRow>& rows() const { return m_rows; }
    // The folder the files go to; empty: beside each movie.
    const std::string& saveTo() const { return m_saveTo; }
    int simultaneousConversions() const { return m_simultaneous; }
    // How the names of the folders the preview's frames are made in begin,
    // in the system's temporary folder: each run makes one, and removes it.
    const std::string& previewFolderPrefix() const { return m_previewPrefix; }

private:
    // The settings' keys; a choice is kept by the name the command line takes.
    static constexpr std::string_view kQualityKey = "quality";
    static constexpr std::string_view kPictureKey = "picture";
    static constexpr std::string_view kFolderKey = "folder";
    static constexpr std::string_view kSaveToKey = "save-to";
    static constexpr std::string_view kSimultaneousKey = "simultaneous-conversions";
    static constexpr std::string_view kLanguageKey = "language";
    static constexpr std::string_view kNormalizeKey = "normalize-loudness";
    static constexpr std::string_view kSubtitleEncodingKey = "subtitle-encoding";
    // How many seconds the notice before sleep or shutting down lasts.
    static constexpr std::string_view kNoticeKey = "when-done-notice-seconds";
    static constexpr int kDefaultNoticeSeconds = 60;
    // The report of a list done before the computer slept or shut down, or
    // the program quit: named at the next start, once.
    static constexpr std::string_view kReportKey = "report-to-tell";

    enum class WhenDone { kNothing, kQuit, kSleep, kShutDown };  // in kWhenDoneRadios' order

    // A probe or a conversion on a worker of its own.
    struct Job {
        ListRowKey row = 0;
        bool converts = false;
        std::shared_ptr<StopSignal> stop;
        std::thread thread;
    };

    // The frame the preview shows, or is to show: of which row, made how.
    struct PreviewOf {
        ListRowKey row = 0;
        PictureFit fit = kDefaultPictureFit;
        SubtitleChoice subtitles;
        std::optional<double> from;
        bool operator==(const PreviewOf&) const = default;
    };
    struct PreviewJob {
        std::shared_ptr<StopSignal> stop;
        std::thread thread;
    };

    SourceRow* Row(ListRowKey key);
    void ShowRow(const SourceRow& row);
    // The panel describes `row`, its preview included.
    void ShowInPanel(const SourceRow* row);
    void ShowSubtitleChoices();
    ConversionRequest RequestFor(const SourceRow& row, const std::string& target) const;

    // The preview follows the row the panel describes, the picture choice and
    // the row's subtitles. One frame is made at a time: a newer wish stops
    // the run of an older one, and is made once that has ended.
    void RequestPreview();
    void StartDuePreview();
    void PreviewEnded(uint64_t job, const PreviewPicture& picture);

    // Starts the probes due, and while converting the conversions due; ends
    // the list's run when nothing is left to do.
    void StartDueWork();
    void StartProbe(SourceRow& row);
    void ProbeEnded(uint64_t job, const Expected<SourceDescription, ProbeFailure>& result,
                    const std::vector<std::string>& subtitleFiles);
    void StartConversion(SourceRow& row);
    // Why the row cannot be converted to `target` now, or nothing.
    std::optional<std::string> RefusalOf(const SourceRow& row, const std::string& target) const;
    void RowProgressed(uint64_t job, const ProgressReport& progress, double seconds);
    void RowDescribed(uint64_t job, const SourceDescription& description);
    void ConversionEnded(uint64_t job, const ConversionReport& report);
    void RowFailed(SourceRow& row, ConversionOutcome outcome, const std::string& why);
    // The row is not converted, for `why`; the list goes on.
    void Skip(SourceRow& row, const std::string& why);
    void StopList();
    void ListEnded();
    void ShowListProgress();

    // Starts `body` on a worker thread with a fresh stop signal: the job's
    // number, or nothing when no thread could be made.
    std::optional<uint64_t> StartJob(ListRowKey row, bool converts,
                                     std::function<void(uint64_t job, const StopSignal&)> body);
    void EndJob(uint64_t job);
    size_t RunningJobs(bool converts) const;

    void ShowButtons();
    void ShowIdleStatus();
    void ShowWhenDoneChoices();
    void ReadWhenDoneSettings();
    void AfterList();
    // One second of the notice before sleep or shutting down, of notice
    // number `notice`; a cancelled notice's later ticks do nothing.
    void NoticeTick(uint64_t notice);
    void CancelNotice();
    bool InNotice() const { return m_noticeLeft >= 0; }
    void ShowSaveToChoices();
    void RememberedSaveTo();
    std::string FolderOnCard(const RemovableCard& card) const;
    void WatchCards();
    void RefreshCardSpace();
    std::optional<std::string> CardOfTheRun() const;
    std::string Remembered(std::string_view key) const;
    void Remember(std::string_view key, std::string_view value);

    DialogWindow& m_window;
    const EncoderSetup m_setup;
    SettingsStore* m_settings;
    SystemPower* m_power;

    std::vector<SourceRow> m_rows;  // in the list's order
    ListRowKey m_lastKey = 0;
    ListRowKey m_shown = 0;  // the row the panel describes; 0 for none
    std::vector<ListRowKey> m_selected;  // as the user selected them, in the list's order
    std::vector<SubtitleChoice> m_offeredSubtitles;  // the Subtitles list's, in its order
    // What the Subtitles list shows: its lines, the one chosen, and whether it may be used.
    std::tuple<std::vector<std::string>, int, bool> m_subtitleChoicesShown{{}, -2, false};
    std::map<uint64_t, Job> m_jobs;
    uint64_t m_lastJob = 0;

    int32_t m_videoKilobits = kPlayerFormat.defaultVideoKilobits;
    PictureFit m_fit = kDefaultPictureFit;
    std::string m_folder;         // where OPEN starts; empty: wherever the chooser likes
    std::string m_saveTo;         // empty: beside each movie
    std::string m_chosenFolder;   // the folder "Save to" offers, once one was chosen
    std::vector<RemovableCard> m_cards;  // plugged in, as last listed
    std::string m_saveToCard;     // the card m_saveTo is on, when "Save to" names one
    std::unique_ptr<CardChangeWatcher> m_cardWatcher;
    int m_simultaneous = 1;
    std::string m_language;  // preferred, for sound and subtitles
    bool m_normalize = true;
    std::string m_subtitleEncoding;  // empty: found out

    std::map<uint64_t, PreviewJob> m_previews;  // the run wanted, and those stopped still ending
    std::optional<PreviewOf> m_previewOf;       // none: blank
    bool m_previewDue = false;       // m_previewOf's frame is still to be started
    uint64_t m_previewWanted = 0;    // the run whose frame is shown when it comes
    const std::string m_previewPrefix;
    bool m_converting = false;
    std::chrono::steady_clock::time_point m_runStart;
    std::string m_endedStatus;  // what the status line said when the list ended

    WhenDone m_whenDone = WhenDone::kNothing;
    int m_noticeSeconds = kDefaultNoticeSeconds;
    PowerAction m_noticeAction = PowerAction::kSleep;
    int m_noticeLeft = -1;  // the seconds the notice still counts; -1 when none runs
    uint64_t m_notice = 0;  // the notice's number: a cancelled one's ticks are told apart
    std::string m_reportTold;  // where the list's report went, in words
    bool m_closed = false;
};

}  // namespace vantrel
