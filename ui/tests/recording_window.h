// A window that records what the converter's logic asks of it, for tests
// without a display. The test's thread plays the UI thread: what the workers
// queue for it runs only inside PumpUntil, and never once the test is over.
#pragma once

#include <deque>

#include "ui/dialog_window.h"
#include "tests/support/test_support.h"

namespace vantrel::testing {

class RecordingWindow : public DialogWindow {
public:
    // A Lock() kept in no variable holds the lock to the end of its statement.
    void SetControlText(int id, std::string_view t) override { Lock(), texts_[id] = t, Changed(); }
    void EnableControl(int id, bool on) override { Lock(), enabled_[id] = on; }
    void CheckControl(int, bool) override {}
    void PostProgress(int32_t) override {}
    void ShowMessage(std::string_view text) override { Lock(), messages_.emplace_back(text); }
    void RunOnUiThread(std::function<void()> action) override {
        const auto lock = Lock();
        queued_.push_back(std::move(action));
        Changed();
    }
    std::optional<std::string> ChooseSourceFile(const std::string& folder) override {
        return folder_ = folder, std::exchange(answer_, {});
    }
    void NotifyConversionEnded(std::string_view) override {}
    void SetBusy(bool busy) override { busy_ = busy; }

    void AnswerNextChoice(std::string path) { answer_ = std::move(path); }
    // Runs what the workers queued until `condition` holds; false if it has
    // not within a generous bound (a hang, not a matter of timing). With
    // `run` false it runs nothing, and only waits.
    bool PumpUntil(const std::function<bool()>& condition, bool run = true) {
        return WaitForCondition(mutex_, changed_, version_, [&] {
            std::deque<std::function<void()>> due;
            if (run) Lock(), due.swap(queued_);
            for (auto& action : due) action();
            return condition();
        });
    }
    size_t Queued() { return Lock(), queued_.size(); }
    std::string Text(int id) { return Lock(), texts_[id]; }
    bool Enabled(int id) { return Lock(), enabled_.count(id) == 0 || enabled_[id]; }
    const std::string& FolderOffered() const { return folder_; }
    bool Busy() const { return busy_; }
    std::vector<std::string> Messages() { return Lock(), messages_; }

private:
    std::unique_lock<std::mutex> Lock() { return std::unique_lock<std::mutex>(mutex_); }
    // With the lock held: PumpUntil looks again.
    void Changed() { ++version_, changed_.notify_all(); }

    std::mutex mutex_;
    std::condition_variable changed_;
    uint64_t version_ = 0;
    std::map<int, std::string> texts_;
    std::map<int, bool> enabled_;
    std::vector<std::string> messages_;
    std::deque<std::function<void()>> queued_;
    std::optional<std::string> answer_;  // UI thread only, as are folder_ and busy_
    std::string folder_;
    bool busy_ = false;
};

}  // namespace vantrel::testing
