#include "recording_window.h"

#include "dialog_templates.h"
#include "test_support.h"

namespace vantrel::testing {

RecordingWindow::RecordingWindow() {
    for (const ControlTemplate& control : kConverterDialogTemplate.controls) {
        if (control.id != kIdUnaddressed) controls_[control.id].text = std::string(control.text);
    }
}

// Called with mutex_ held.
void RecordingWindow::Record(std::string event) {
    if (sealed_) ++callsAfterSeal_;
    events_.push_back(std::move(event));
    ++version_;
    changed_.notify_all();
}

void RecordingWindow::SetControlText(int id, std::string_view text) {
    std::lock_guard<std::mutex> lock(mutex_);
    controls_[id].text = std::string(text);
    Record("text " + std::to_string(id) + " " + std::string(text));
}

void RecordingWindow::EnableControl(int id, bool enabled) {
    std::lock_guard<std::mutex> lock(mutex_);
    controls_[id].enabled = enabled;
    Record("enable " + std::to_string(id) + (enabled ? " 1" : " 0"));
}

void RecordingWindow::CheckControl(int id, bool checked) {
    std::lock_guard<std::mutex> lock(mutex_);
    controls_[id].checked = checked;
    Record("check " + std::to_string(id) + (checked ? " 1" : " 0"));
}

void RecordingWindow::PostProgress(int32_t position) {
    std::lock_guard<std::mutex> lock(mutex_);
    posts_.push_back(position);
    Record("progress " + std::to_string(position));
}

void RecordingWindow::ShowMessage(std::string_view text) {
    std::lock_guard<std::mutex> lock(mutex_);
    messages_.emplace_back(text);
    Record("message " + std::string(text));
}

std::optional<std::string> RecordingWindow::ChooseSourceFile() {
    std::lock_guard<std::mutex> lock(mutex_);
    ++chooserCalls_;
    Record("choose");
    if (answers_.empty()) return std::nullopt;
    std::optional<std::string> answer = answers_.front();
    answers_.pop_front();
    return answer;
}

void RecordingWindow::SetBusy(bool busy) {
    std::lock_guard<std::mutex> lock(mutex_);
    busy_ = busy;
    Record(busy ? "busy 1" : "busy 0");
}

void RecordingWindow::AnswerNextChoice(std::optional<std::string> path) {
    std::lock_guard<std::mutex> lock(mutex_);
    answers_.push_back(std::move(path));
}

bool RecordingWindow::WaitUntil(const std::function<bool()>& condition) {
    return WaitForCondition(mutex_, changed_, version_, condition);
}

std::string RecordingWindow::Text(int id) {
    std::lock_guard<std::mutex> lock(mutex_);
    return controls_[id].text;
}

bool RecordingWindow::Enabled(int id) {
    std::lock_guard<std::mutex> lock(mutex_);
    return controls_[id].enabled;
}

bool RecordingWindow::Checked(int id) {
    std::lock_guard<std::mutex> lock(mutex_);
    return controls_[id].checked;
}

std::vector<int32_t> RecordingWindow::Posts() {
    std::lock_guard<std::mutex> lock(mutex_);
    return posts_;
}

std::vector<std::string> RecordingWindow::Messages() {
    std::lock_guard<std::mutex> lock(mutex_);
    return messages_;
}

std::vector<std::string> RecordingWindow::Events() {
    std::lock_guard<std::mutex> lock(mutex_);
    return events_;
}

int RecordingWindow::ChooserCalls() {
    std::lock_guard<std::mutex> lock(mutex_);
    return chooserCalls_;
}

bool RecordingWindow::Busy() {
    std::lock_guard<std::mutex> lock(mutex_);
    return busy_;
}

void RecordingWindow::Seal() {
    std::lock_guard<std::mutex> lock(mutex_);
    sealed_ = true;
}

int RecordingWindow::CallsAfterSeal() {
    std::lock_guard<std::mutex> lock(mutex_);
    return callsAfterSeal_;
}

}  // namespace vantrel::testing
