// A window that records what the converter's logic asks of it, for tests
// without a display. The test's own thread plays the UI thread: actions the
// workers queue for it run only inside PumpUntil.
#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "dialog_window.h"

namespace vantrel::testing {

class RecordingWindow : public DialogWindow {
public:
    void SetControlText(int id, std::string_view text) override;
    void EnableControl(int id, bool enabled) override;
    void CheckControl(int id, bool checked) override;
    void PostProgress(int32_t position) override;
    void ShowMessage(std::string_view text) override;
    void RunOnUiThread(std::function<void()> action) override;
    std::optional<std::string> ChooseSourceFile() override;
    void SetBusy(bool busy) override;

    // What the next ChooseSourceFile returns.
    void AnswerNextChoice(std::string path);
    // Runs the queued UI actions until `condition` holds; false if it has
    // not within a generous bound (a hang, not a matter of timing).
    bool PumpUntil(const std::function<bool()>& condition);
    // Waits, running nothing, until a worker has queued an action for the UI thread.
    bool WaitForQueuedAction();
    // The window is gone: queued actions are dropped, as a real one drops them.
    void Close();

    std::string Text(int id);
    bool Enabled(int id);
    bool Busy();
    std::vector<std::string> Messages();
    std::vector<int32_t> Posts();

private:
    void Changed();

    std::mutex mutex_;
    std::condition_variable changed_;
    uint64_t version_ = 0;
    std::map<int, std::string> texts_;
    std::map<int, bool> enabled_;
    std::vector<std::string> messages_;
    std::vector<int32_t> posts_;
    std::deque<std::function<void()>> queued_;
    std::deque<std::string> answers_;
    bool busy_ = false;
    bool closed_ = false;
};

}  // namespace vantrel::testing
