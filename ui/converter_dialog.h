#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "conversion/conversion_report.h"
#include "conversion/output_format.h"
#include "conversion/converter.h"
#include "ui/dialog_window.h"
#include "conversion/picture_fit.h"
#include "ui/settings_store.h"
#include "platform/stop_signal.h"

namespace vantrel {

// The converter window's logic and state, free of any toolkit: OPEN and the
// probe, the quality and picture buttons, Encode/STOP and the status line. It
// speaks to the screen only through DialogWindow, and remembers the user's
// choices in a SettingsStore.
//
// Threads. Every public member is called on the UI thread, and only the UI
// thread reads or writes the dialog's state. The probe and the conversion run
// on a worker thread, one at a time; the worker reaches the window only
// through its queued calls, and hands its result back with RunOnUiThread. It
// never waits for the UI thread. So what the buttons show is what the UI
// thread decides on: a click is judged by the state the user saw.
class ConverterDialog {
public:
    // Without `settings` every start begins with the defaults.
    ConverterDialog(DialogWindow& window, EncoderSetup setup, SettingsStore* settings = nullptr);
    // Closes, if the owner has not: a running probe or conversion is stopped.
    ~ConverterDialog();
    ConverterDialog(const ConverterDialog&) = delete;
    ConverterDialog& operator=(const ConverterDialog&) = delete;

    // Once, when the window's controls exist: the idle state with no source,
    // and the choices remembered from the last run.
    void OnInitDialog();

    // OPEN: asks the window for a file, then takes it as the source.
    void OnOpenSource();
    // Files dropped on the window: the first is taken as OPEN would take it.
    void OnFilesDropped(const std::vector<std::string>& paths);
    // A file named on the program's command line, taken as OPEN would take it.
    void OnOpenPath(const std::string& path);
    // Encode, or STOP while converting. Does nothing while no source is described.
    void OnEncode();
    // One of the quality radio buttons, by its control id.
    void OnQuality(int radioId);
    // One of the picture's radio buttons, by its control id.
    void OnPictureFit(int radioId);
    // Exit, Esc, the close box or a termination signal: a running probe or
    // conversion is stopped and its worker waited for. Afterwards nothing
    // touches the window and the handlers do nothing.
    void OnClose();

    enum class Activity { kIdle, kProbing, kConverting };
    Activity activity() const { return m_activity; }
    int32_t videoKilobits() const { return m_videoKilobits; }
    const SourceDescription& source() const { return m_source; }
    const std::string& sourcePath() const { return m_sourcePath; }
    const std::string& targetPath() const { return m_targetPath; }

private:
    // The settings' keys; a choice is kept by the name the command line takes.
    static constexpr std::string_view kQualityKey = "quality";
    static constexpr std::string_view kPictureKey = "picture";
    static constexpr std::string_view kFolderKey = "folder";

    void OpenSource(const std::string& path);
    void ProbeEnded(uint64_t run, const Expected<SourceDescription, ProbeFailure>& result);
    void ShowSource();
    void StartConversion();
    void StopRun();
    void ConversionEnded(uint64_t run, const ConversionReport& report, const std::string& sourcePath);
    // Starts `body` on the worker thread with a fresh stop signal; false when
    // no thread could be made.
    bool StartWorker(std::function<void(const StopSignal&)> body);
    void JoinWorker();
    void ShowIdle();
    void ShowExpectedSize();
    std::string Remembered(std::string_view key) const;
    void Remember(std::string_view key, std::string_view value);

    DialogWindow& m_window;
    Converter m_converter;
    SettingsStore* m_settings;

    std::string m_sourcePath;
    std::string m_targetPath;
    SourceDescription m_source;  // as the probe read it; Encode starts only once it has
    int32_t m_videoKilobits = kPlayerFormat.defaultVideoKilobits;
    PictureFit m_fit = kDefaultPictureFit;
    std::string m_folder;  // where OPEN starts; empty: wherever the chooser likes
    Activity m_activity = Activity::kIdle;
    // Counts runs, so that the end of a run that STOP already put aside is
    // not taken for the end of the next one.
    uint64_t m_run = 0;
    std::shared_ptr<StopSignal> m_stop;
    std::thread m_worker;
    bool m_closed = false;
};

}  // namespace vantrel
