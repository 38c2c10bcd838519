#pragma once

#include <functional>
#include <string>

#include "ui/dialog_window.h"

namespace vantrel {

// The any-thread half of DialogWindow, written once for every toolkit: each
// call is queued for the UI thread, applied there in call order whichever
// thread made it, and dropped once the window has closed. Texts arrive as
// valid UTF-8 and the progress clamped to the bar's range. A view says how to
// reach its UI thread and how to apply each change there.
class QueuedWindow : public DialogWindow {
public:
    void SetControlText(int id, std::string_view text) final;
    void EnableControl(int id, bool enabled) final;
    void CheckControl(int id, bool checked) final;
    void PostProgress(int32_t position) final;
    void ShowMessage(std::string_view text) final;
    void RunOnUiThread(std::function<void()> action) final;
    void SetListRow(ListRowKey key, const ListRowTexts& texts) final;
    void RemoveListRow(ListRowKey key) final;
    void SelectListRow(ListRowKey key) final;
    void SetChoices(int id, const std::vector<std::string>& choices, int selected) final;
    void SetPreview(const PreviewPicture& picture) final;
    void SetControlTooltip(int id, std::string_view text) final;

protected:
    // UI thread: from now on nothing queued is applied.
    void MarkClosed() { closed_ = true; }
    bool closed() const { return closed_; }

    // Any thread: runs `action` on the UI thread after everything handed over
    // before it. Never waits for the UI thread.
    virtual void PostToUiThread(std::function<void()> action) = 0;

    // UI thread only.
    virtual void ApplyText(int id, const std::string& text) = 0;
    virtual void ApplyEnabled(int id, bool enabled) = 0;
    virtual void ApplyChecked(int id, bool checked) = 0;
    virtual void ApplyProgress(int position) = 0;
    // A modal message box owned by the window, with OK only; lines are
    // separated by "\n".
    virtual void ApplyMessage(const std::string& text) = 0;
    virtual void ApplyListRow(ListRowKey key, const ListRowTexts& texts) = 0;
    virtual void ApplyListRowRemoved(ListRowKey key) = 0;
    virtual void ApplyListRowSelected(ListRowKey key) = 0;
    virtual void ApplyChoices(int id, const std::vector<std::string>& choices, int selected) = 0;
    // A picture of whole rows of RGB bytes, or an empty one: blank.
    virtual void ApplyPreview(const PreviewPicture& picture) = 0;
    virtual void ApplyTooltip(int id, const std::string& text) = 0;

private:
    void Queue(std::function<void()> action);

    bool closed_ = false;  // UI thread only
};

}  // namespace vantrel
