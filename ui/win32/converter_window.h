#pragma once

#include <windows.h>
#include <shellapi.h>

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "conversion/converter.h"
#include "platform/system_power.h"
#include "ui/control_ids.h"
#include "ui/converter_dialog.h"
#include "ui/queued_window.h"
#include "ui/settings_store.h"
#include "ui/win32/preview_bitmap.h"
#include "ui/win32/ui_thread_queue.h"

namespace vantrel {

// The converter's main window on Windows: a dialog with the controls of the
// main template, the list of files a list view, "Save to" a drop-down list,
// the About entry in its system menu, dropped files and folders, and the
// window side of DialogWindow. Its logic is a ConverterDialog.
//
// Every DialogWindow update reaches the UI thread through a UiThreadQueue.
class ConverterWindow : public QueuedWindow {
public:
    ConverterWindow(EncoderSetup setup, SettingsStore* settings);
    ~ConverterWindow() override;
    ConverterWindow(const ConverterWindow&) = delete;
    ConverterWindow& operator=(const ConverterWindow&) = delete;

    // Shows the window and runs it until it closes; `startSources`, files
    // and folders, are added to the list as OPEN adds, once the window is up.
    void Run(const std::vector<std::string>& startSources);

    std::vector<std::string> ChooseSourceFiles(const std::string& folder) override;
    std::optional<std::string> ChooseFolder(const std::string& folder) override;
    std::vector<ListRowKey> SelectedListRows() override;
    void NotifyConversionEnded(std::string_view text) override;
    void SetBusy(bool busy) override;
    void RunOnUiThreadAfter(std::chrono::milliseconds delay, std::function<void()> action) override;
    void Quit() override;

protected:
    // The window, once Run has made it.
    HWND handle() const { return m_window; }
    // Called on the UI thread with each position the bar takes.
    virtual void ProgressShown(int position);
    // The preview's frame as it is drawn.
    const PreviewBitmap& preview() const { return m_preview; }

    void PostToUiThread(std::function<void()> action) override;
    void ApplyText(int id, const std::string& text) override;
    void ApplyEnabled(int id, bool enabled) override;
    void ApplyChecked(int id, bool checked) override;
    void ApplyProgress(int position) override;
    void ApplyMessage(const std::string& text) override;
    void ApplyListRow(ListRowKey key, const ListRowTexts& texts) override;
    void ApplyListRowRemoved(ListRowKey key) override;
    void ApplyListRowSelected(ListRowKey key) override;
    void ApplyChoices(int id, const std::vector<std::string>& choices, int selected) override;
    void ApplyPreview(const PreviewPicture& picture) override;
    void ApplyTooltip(int id, const std::string& text) override;

private:
    static INT_PTR CALLBACK DialogProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void OnInitDialog();
    void OnCommand(int id, int code);
    void OnListNotification(const NMHDR& header);
    void OnDropFiles(HDROP drop);
    HWND List() const { return ::GetDlgItem(m_window, kIdSourceList); }
    void Close();
    // "From" and "To" as the user has changed them, for the logic.
    void ApplyTypedTrim();
    void OnTimer(UINT_PTR number);

    EncoderSetup m_setup;
    SettingsStore* m_settings;
    std::vector<std::string> m_startSources;
    UiThreadQueue m_queue;
    std::unique_ptr<SystemPower> m_power = MakeSystemPower();
    std::map<UINT_PTR, std::function<void()>> m_timers;  // RunOnUiThreadAfter's, by number; UI thread only
    UINT_PTR m_lastTimer = 0;
    HWND m_tooltips = nullptr;  // the window that shows the controls' tooltips
    std::unique_ptr<ConverterDialog> m_logic;
    HWND m_window = nullptr;
    PreviewBitmap m_preview{kPlayerFormat.width, kPlayerFormat.height};  // UI thread only
    bool m_busy = false;    // UI thread only
    // The control that lost the keyboard by being disabled, and the one that
    // took it over; UI thread only.
    HWND m_focusReturnsTo = nullptr;
    HWND m_focusParkedOn = nullptr;
};

}  // namespace vantrel
