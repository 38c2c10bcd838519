// A window that records what the converter's logic asks of it, for tests
// without a display. The test's thread plays the UI thread: what the workers
// queue for it runs only inside PumpUntil, and never once the test is over.
#pragma once

#include <algorithm>
#include <deque>

#include "ui/dialog_window.h"
#include "tests/support/test_support.h"

namespace vantrel::testing {

class RecordingWindow : public DialogWindow {
public:
    // A Lock() kept in no variable holds the lock to the end of its statement.
    void SetControlText(int id, std::string_view t) override { Lock(), texts_[id] = t, Changed(); }
    void EnableControl(int id, bool on) override { Lock(), enabled_[id] = on; }
    void CheckControl(int id, bool on) override { Lock(), checked_[id] = on; }
    void PostProgress(int32_t) override {}
    void ShowMessage(std::string_view text) override { Lock(), messages_.emplace_back(text); }
    void RunOnUiThread(std::function<void()> action) override {
        const auto lock = Lock();
        queued_.push_back(std::move(action));
        Changed();
    }
    void SetListRow(ListRowKey key, const ListRowTexts& texts) override {
        const auto lock = Lock();
        const auto row = std::find_if(rows_.begin(), rows_.end(), [key](auto& r) { return r.first == key; });
        if (row == rows_.end()) {
            rows_.emplace_back(key, texts);
        } else {
            row->second = texts;
        }
        Changed();
    }
    void RemoveListRow(ListRowKey key) override {
        const auto lock = Lock();
        std::erase_if(rows_, [key](auto& r) { return r.first == key; });
        std::erase(selected_, key);
    }
    void SelectListRow(ListRowKey key) override { Lock(), selected_ = {key}; }
    void SetChoices(int id, const std::vector<std::string>& choices, int selected) override {
        Lock(), choices_[id] = {choices, selected};
    }
    void SetPreview(const PreviewPicture& picture) override {
        const auto lock = Lock();
        previews_.push_back(picture);
        Changed();
    }
    std::vector<std::string> ChooseSourceFiles(const std::string& folder) override {
        return folder_ = folder, std::exchange(answer_, {});
    }
    std::optional<std::string> ChooseFolder(const std::string&) override {
        return std::exchange(folderAnswer_, {});
    }
    std::vector<ListRowKey> SelectedListRows() override { return Lock(), selected_; }
    void NotifyConversionEnded(std::string_view) override {}
    void SetBusy(bool busy) override { busy_ = busy; }
    void SetControlTooltip(int id, std::string_view text) override { Lock(), tooltips_[id] = text; }
    // Kept until the test lets the time pass with PassTime.
    void RunOnUiThreadAfter(std::chrono::milliseconds delay, std::function<void()> action) override {
        timers_.emplace_back(delay, std::move(action));
    }
    void Quit() override { quit_ = true; }

    // Every delay asked for so far has passed: their actions run, in order,
    // and with them any they ask for; `times` rounds at most. How many ran.
    size_t PassTime(size_t times = 1000) {
        size_t ran = 0;
        for (size_t round = 0; round < times && !timers_.empty(); ++round) {
            auto due = std::exchange(timers_, {});
            for (auto& timer : due) timer.second(), ++ran;
        }
        return ran;
    }
    size_t TimersWaiting() const { return timers_.size(); }
    bool QuitAsked() const { return quit_; }
    bool Checked(int id) { return Lock(), checked_[id]; }
    std::string Tooltip(int id) { return Lock(), tooltips_[id]; }

    void AnswerNextChoice(std::vector<std::string> paths) { answer_ = std::move(paths); }
    void AnswerNextFolder(std::string folder) { folderAnswer_ = std::move(folder); }
    // The user selects these rows, by their places in the list.
    void Select(const std::vector<size_t>& places) {
        const auto lock = Lock();
        selected_.clear();
        for (size_t place : places) selected_.push_back(rows_.at(place).first);
    }
    // The state column of every row, in the list's order.
    std::vector<std::string> States() {
        const auto lock = Lock();
        std::vector<std::string> states;
        for (auto& row : rows_) states.push_back(row.second[4]);
        return states;
    }
    std::vector<ListRowTexts> Rows() {
        const auto lock = Lock();
        std::vector<ListRowTexts> rows;
        for (auto& row : rows_) rows.push_back(row.second);
        return rows;
    }
    std::pair<std::vector<std::string>, int> Choices(int id) { return Lock(), choices_[id]; }
    // The lines of a drop-down list, and the one chosen: "" for none.
    std::vector<std::string> ChoiceTexts(int id) { return Lock(), choices_[id].first; }
    std::string Chosen(int id) {
        const auto lock = Lock();
        const auto& [texts, at] = choices_[id];
        return at >= 0 && static_cast<size_t>(at) < texts.size() ? texts[static_cast<size_t>(at)] : "";
    }
    // Every picture the preview has shown, in order; the first a blank one.
    std::vector<PreviewPicture> Previews() { return Lock(), previews_; }
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
    std::vector<std::pair<ListRowKey, ListRowTexts>> rows_;
    std::vector<ListRowKey> selected_;
    std::map<int, std::pair<std::vector<std::string>, int>> choices_;
    std::vector<PreviewPicture> previews_;
    std::vector<std::string> answer_;  // UI thread only, as are the next three
    std::optional<std::string> folderAnswer_;
    std::string folder_;
    bool busy_ = false;
    std::map<int, bool> checked_;
    std::map<int, std::string> tooltips_;
    std::vector<std::pair<std::chrono::milliseconds, std::function<void()>>> timers_;  // UI thread only
    bool quit_ = false;
};

}  // namespace vantrel::testing
