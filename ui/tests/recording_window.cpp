#include "recording_window.h"

#include "test_support.h"

namespace vantrel::testing {

// Called with mutex_ held.
void RecordingWindow::Changed() {
    ++version_;
    changed_.notify_all();
}

void RecordingWindow::SetControlText(int id, std::string_view text) {
    std::lock_guard<std::mutex> lock(mutex_);
    texts_[id] = std::string(text);
    Changed();
}

void RecordingWindow::EnableControl(int id, bool enabled) {
    std::lock_guard<std::mutex> lock(mutex_);
    enabled_[id] = enabled;
    Changed();
}

void RecordingWindow::CheckControl(int, bool) {}

void RecordingWindow::PostProgress(int32_t position) {
    std::lock_guard<std::mutex> lock(mutex_);
    posts_.push_back(position);
    Changed();
}

void RecordingWindow::ShowMessage(std::string_view text) {
    std::lock_guard<std::mutex> lock(mutex_);
    messages_.emplace_back(text);
    Changed();
}

void RecordingWindow::RunOnUiThread(std::function<void()> action) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!closed_) queued_.push_back(std::move(action));
    Changed();
}

std::optional<std::string> RecordingWindow::ChooseSourceFile() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (answers_.empty()) return std::nullopt;
    std::string answer = std::move(answers_.front());
    answers_.pop_front();
    return answer;
}

void RecordingWindow::SetBusy(bool busy) {
    std::lock_guard<std::mutex> lock(mutex_);
    busy_ = busy;
}

void RecordingWindow::AnswerNextChoice(std::string path) {
    std::lock_guard<std::mutex> lock(mutex_);
    answers_.push_back(std::move(path));
}

bool RecordingWindow::PumpUntil(const std::function<bool()>& condition) {
    return WaitForCondition(mutex_, changed_, version_, [&] {
        for (;;) {
            std::function<void()> action;
            {
                std::lock_guard<std::mutex> lock(mutex_);
                if (queued_.empty()) break;
                action = std::move(queued_.front());
                queued_.pop_front();
            }
            action();
        }
        return condition();
    });
}

bool RecordingWindow::WaitForQueuedAction() {
    return WaitForCondition(mutex_, changed_, version_, [&] {
        std::lock_guard<std::mutex> lock(mutex_);
        return !queued_.empty();
    });
}

void RecordingWindow::Close() {
    std::lock_guard<std::mutex> lock(mutex_);
    closed_ = true;
    queued_.clear();
}

std::string RecordingWindow::Text(int id) {
    std::lock_guard<std::mutex> lock(mutex_);
    return texts_[id];
}

bool RecordingWindow::Enabled(int id) {
    std::lock_guard<std::mutex> lock(mutex_);
    return enabled_.count(id) == 0 || enabled_[id];
}

bool RecordingWindow::Busy() {
    std::lock_guard<std::mutex> lock(mutex_);
    return busy_;
}

std::vector<std::string> RecordingWindow::Messages() {
    std::lock_guard<std::mutex> lock(mutex_);
    return messages_;
}

std::vector<int32_t> RecordingWindow::Posts() {
    std::lock_guard<std::mutex> lock(mutex_);
    return posts_;
}

}  // namespace vantrel::testing
