#pragma once

#include <wx/dialog.h>
#include <wx/notifmsg.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "conversion/converter.h"
#include "ui/converter_dialog.h"
#include "ui/dialog_window.h"
#include "ui/wx/file_settings_store.h"

namespace vantrel {

// The converter's main window on wxWidgets: the controls of template 102, the
// context menu and F1 for the About box, dropped files, and the window side
// of DialogWindow. Its logic is a ConverterDialog.
//
// Every DialogWindow update is queued to the UI thread with CallAfter, from
// whichever thread makes it, and applied in order; after the window has
// closed the queue applies nothing.
class ConverterWindow : public wxDialog, public DialogWindow {
public:
    explicit ConverterWindow(EncoderSetup setup);
    ~ConverterWindow() override;

    // Opens `path` as OPEN would, once the window is up.
    void OpenAtStart(const std::string& path);

    void SetControlText(int id, std::string_view text) override;
    void EnableControl(int id, bool enabled) override;
    void CheckControl(int id, bool checked) override;
    void PostProgress(int32_t position) override;
    void ShowMessage(std::string_view text) override;
    void RunOnUiThread(std::function<void()> action) override;
    std::optional<std::string> ChooseSourceFile(const std::string& folder) override;
    void NotifyConversionEnded(std::string_view text) override;
    void SetBusy(bool busy) override;

protected:
    // Called on the UI thread with each position the bar takes.
    virtual void ProgressShown(int position);

private:
    void Queue(std::function<void()> action);
    void ShowAboutBox();
    void OnCloseWindow(wxCloseEvent& event);

    FileSettingsStore m_settings;
    std::unique_ptr<wxNotificationMessage> m_notification;
    std::unique_ptr<ConverterDialog> m_logic;
    bool m_closed = false;  // UI thread only
};

}  // namespace vantrel
