#pragma once

#include <windows.h>
#include <shellapi.h>

#include <memory>
#include <optional>
#include <string>

#include "conversion/converter.h"
#include "ui/converter_dialog.h"
#include "ui/queued_window.h"
#include "ui/settings_store.h"
#include "ui/win32/ui_thread_queue.h"

namespace vantrel {

// The converter's main window on Windows: a dialog with the controls of the
// main template, the About entry in its system menu, dropped files, and the
// window side of DialogWindow. Its logic is a ConverterDialog.
//
// Every DialogWindow update reaches the UI thread through a UiThreadQueue.
class ConverterWindow : public QueuedWindow {
public:
    ConverterWindow(EncoderSetup setup, SettingsStore* settings);
    ~ConverterWindow() override;
    ConverterWindow(const ConverterWindow&) = delete;
    ConverterWindow& operator=(const ConverterWindow&) = delete;

    // Shows the window and runs it until it closes; a `startSource` that is
    // not empty is opened as OPEN would, once the window is up.
    void Run(const std::string& startSource);

    std::optional<std::string> ChooseSourceFile(const std::string& folder) override;
    void NotifyConversionEnded(std::string_view text) override;
    void SetBusy(bool busy) override;

protected:
    // The window, once Run has made it.
    HWND handle() const { return m_window; }
    // Called on the UI thread with each position the bar takes.
    virtual void ProgressShown(int position);

    void PostToUiThread(std::function<void()> action) override;
    void ApplyText(int id, const std::string& text) override;
    void ApplyEnabled(int id, bool enabled) override;
    void ApplyChecked(int id, bool checked) override;
    void ApplyProgress(int position) override;
    void ApplyMessage(const std::string& text) override;

private:
    static INT_PTR CALLBACK DialogProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM);
    void OnInitDialog();
    void OnCommand(int id);
    void OnDropFiles(HDROP drop);
    void Close();

    EncoderSetup m_setup;
    SettingsStore* m_settings;
    std::string m_startSource;
    UiThreadQueue m_queue;
    std::unique_ptr<ConverterDialog> m_logic;
    HWND m_window = nullptr;
    bool m_busy = false;    // UI thread only
    // The control that lost the keyboard by being disabled, and the one that
    // took it over; UI thread only.
    HWND m_focusReturnsTo = nullptr;
    HWND m_focusParkedOn = nullptr;
};

}  // namespace vantrel
