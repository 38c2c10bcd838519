#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace vantrel {

// What the converter's logic asks of its window. The toolkit's view implements
// it for real; the tests record the calls.
//
// Threads. The first group may be called from any thread: the UI thread (the
// handlers) and the worker (the reports of a probe or a conversion; a run's
// end comes back to the UI thread through RunOnUiThread). They never wait for
// the UI thread: the view queues each
// call to the UI thread and applies the calls in the order they were made,
// whichever thread made them, so the window always ends in the state of the
// last call. The second group is called on the UI thread only and may block it.
class DialogWindow {
public:
    virtual ~DialogWindow() = default;

    // --- Any thread; queued, applied in call order.
    virtual void SetControlText(int id, std::string_view text) = 0;
    virtual void EnableControl(int id, bool enabled) = 0;
    virtual void CheckControl(int id, bool checked) = 0;
    // Thousandths of a percent; shown clamped to 0..100000.
    virtual void PostProgress(int32_t position) = 0;
    // A modal message box owned by the main window, with OK only. The caller
    // does not wait for the user to dismiss it.
    virtual void ShowMessage(std::string_view text) = 0;
    // Runs `action` on the UI thread, after the calls queued before it; never
    // once the window has closed.
    virtual void RunOnUiThread(std::function<void()> action) = 0;

    // --- UI thread only.
    // The open-file dialog, in `folder` unless that is empty: the chosen path,
    // or nothing when cancelled.
    virtual std::optional<std::string> ChooseSourceFile(const std::string& folder) = 0;
    // A conversion has ended: told on the desktop too when the window is not
    // the active one, for a user who has turned to other work meanwhile.
    virtual void NotifyConversionEnded(std::string_view text) = 0;
    // The busy cursor, while a probe runs.
    virtual void SetBusy(bool busy) = 0;
};

}  // namespace vantrel
