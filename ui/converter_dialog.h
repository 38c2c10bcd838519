#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "conversion_outcome.h"
#include "conversion_request.h"
#include "converter.h"
#include "dialog_window.h"
#include "run_observer.h"
#include "stop_signal.h"

namespace vantrel {

// The converter window's logic and state, free of any toolkit: OPEN and the
// probe, the quality buttons, Encode/STOP and the conversion worker. It speaks
// to the screen only through DialogWindow, and it is the engine's observer,
// passing the engine's reports on to the window.
//
// Threads. Every public member is called on the UI thread. A conversion runs
// on its own worker thread, which calls only the engine and the window's
// queued methods; it never waits for the UI thread. Only one worker exists at
// a time: a new Encode or OPEN first waits for the previous worker, which has
// either finished or been stopped (STOP ends the encoder at once), so each
// worker acts only on its own conversion.
class ConverterDialog : private RunObserver {
public:
    ConverterDialog(DialogWindow& window, EncoderSetup setup);
    // Closes, if the owner has not: a running conversion is stopped first.
    ~ConverterDialog() override;
    ConverterDialog(const ConverterDialog&) = delete;
    ConverterDialog& operator=(const ConverterDialog&) = delete;

    // Once, when the window's controls exist: the idle state with no source.
    void OnInitDialog();

    // OPEN: asks the window for a file, then takes it as the source.
    void OnOpenSource();
    // Files dropped on the window: the first is taken as OPEN would take it.
    void OnFilesDropped(const std::vector<std::string>& paths);
    // Encode, or STOP while converting. Does nothing while no duration is known.
    void OnEncode();
    void OnQualityLowest();
    void OnQualityMediumLo();
    void OnQualityMediumHi();
    void OnQualityHighest();
    // Exit, Esc or the close box: a running conversion is stopped as STOP
    // stops it and its worker waited for. Afterwards nothing touches the
    // window and the handlers do nothing.
    void OnClose();

    // Waits for the last conversion's worker, if one is left, and returns
    // its run's outcome. A stopped worker ends within moments.
    std::optional<ConversionOutcome> WaitForWorker();

    bool converting() const { return m_converting.load(); }
    int32_t videoBitrate() const { return m_videoBitrate; }
    int64_t durationHundredths() const { return m_converter.state().durationHundredths.load(); }
    const std::string& sourcePath() const { return m_sourcePath; }
    const std::string& sourceName() const { return m_sourceName; }
    const std::string& targetPath() const { return m_targetPath; }

private:
    void OpenSource(const std::string& path);
    void ProbeSource();
    void ClearInformationPanel();
    void StartConversion();
    void StopConversion();
    // The worker's body; `stop` is this conversion's own signal.
    void ConversionWorker(ConversionRequest request, std::shared_ptr<StopSignal> stop);
    // On the worker: the message for the outcome of its run, if it needs one.
    void ReportRunResult(ConversionOutcome outcome, const std::string& sourcePath);
    void ShowIdleButtons();
    void ShowConvertingButtons();

    // RunObserver: the engine's reports go straight to the window's queue.
    void SetPanelText(PanelField field, std::string_view text) override;
    void PostProgress(int32_t position) override;
    void ShowMessage(std::string_view text) override;

    DialogWindow& m_window;
    Converter m_converter;

    // UI thread only.
    std::string m_sourcePath;
    std::string m_sourceName;
    std::string m_targetPath;
    int32_t m_videoBitrate = -1;
    std::shared_ptr<StopSignal> m_stopEvent;  // the running conversion's, until it is over
    std::thread m_workerThread;
    bool m_closed = false;

    // Set by Encode; cleared by STOP or by the worker whose run ended by
    // itself, whichever comes first: that one side puts the buttons back.
    std::atomic<bool> m_converting{false};
    // Written by the worker before it ends, read after it has been joined.
    ConversionOutcome m_runResult = kConverted;
};

}  // namespace vantrel
