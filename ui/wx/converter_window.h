#pragma once

#include <wx/dialog.h>
#include <wx/notifmsg.h>
#include <wx/timer.h>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "conversion/converter.h"
#include "ui/converter_dialog.h"
#include "ui/queued_window.h"
#include "platform/system_power.h"
#include "ui/settings_store.h"

namespace vantrel {

// The converter's main window on wxWidgets: the controls of template 102, the
// context menu and F1 for the About box, dropped files, and the window side
// of DialogWindow. Its logic is a ConverterDialog.
//
// Every DialogWindow update reaches the UI thread through CallAfter.
class ConverterWindow : public wxDialog, public QueuedWindow {
public:
    ConverterWindow(EncoderSetup setup, SettingsStore* settings);
    ~ConverterWindow() override;

    // Adds the files and folders in `paths` to the list, once the window is up.
    void AddAtStart(const std::vector<std::string>& paths);

    std::vector<std::string> ChooseSourceFiles(const std::string& folder) override;
    std::optional<std::string> ChooseFolder(const std::string& folder) override;
    std::vector<ListRowKey> SelectedListRows() override;
    void NotifyConversionEnded(std::string_view text) override;
    void SetBusy(bool busy) override;
    void RunOnUiThreadAfter(std::chrono::milliseconds delay, std::function<void()> action) override;
    void Quit() override;

protected:
    // Called on the UI thread with each position the bar takes.
    virtual void ProgressShown(int position);

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

    // Whether the preview shows a frame, rather than blank.
    bool previewShown() const { return m_previewShown; }

private:
    void ShowAboutBox();
    // Sizes the preview to the player's frame, at the largest whole multiple
    // of its pixels that its room holds, in the middle of the room.
    void PlacePreview();
    void OnCloseWindow(wxCloseEvent& event);
    // Shows `dialog` over the window until the user answers it: its answer.
    int RunModal(wxDialog& dialog);
    // "From" and "To" as the user has changed them, for the logic.
    void ApplyTypedTrim();

    std::unique_ptr<wxNotificationMessage> m_notification;
    std::unique_ptr<SystemPower> m_power = MakeSystemPower();
    std::map<int, std::unique_ptr<wxTimer>> m_timers;  // RunOnUiThreadAfter's, by number
    int m_lastTimer = 0;
    wxDialog* m_modal = nullptr;  // the box shown over the window now, if any
    int m_modalDepth = 0;         // boxes whose loops run further down the stack
    bool m_destroyDue = false;    // closed while a box was open: goes once the last has returned
    std::unique_ptr<ConverterDialog> m_logic;
    int m_previewScale = 1;  // physical pixels across a pixel of the player's frame
    wxRect m_previewPlace;
    bool m_previewShown = false;
};

}  // namespace vantrel
