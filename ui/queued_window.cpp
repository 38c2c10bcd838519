#include "ui/queued_window.h"

#include <algorithm>
#include <memory>

#include "ui/control_ids.h"
#include "platform/utf8_text.h"

namespace vantrel {

void QueuedWindow::Queue(std::function<void()> action) {
    PostToUiThread([this, action = std::move(action)] {
        if (!closed_) action();
    });
}

void QueuedWindow::SetControlText(int id, std::string_view text) {
    Queue([this, id, text = ValidUtf8(text)] { ApplyText(id, text); });
}

void QueuedWindow::EnableControl(int id, bool enabled) {
    Queue([this, id, enabled] { ApplyEnabled(id, enabled); });
}

void QueuedWindow::CheckControl(int id, bool checked) {
    Queue([this, id, checked] { ApplyChecked(id, checked); });
}

void QueuedWindow::PostProgress(int32_t position) {
    // A native progress bar shows a position outside its range clamped.
    Queue([this, shown = std::clamp<int32_t>(position, 0, kProgressRange)] { ApplyProgress(shown); });
}

void QueuedWindow::ShowMessage(std::string_view text) {
    // The outcome messages separate their lines with "\r\n"; a toolkit that
    // wants them otherwise changes them back.
    std::string shown = ValidUtf8(text);
    for (size_t at; (at = shown.find("\r\n")) != std::string::npos;) shown.erase(at, 1);
    Queue([this, shown = std::move(shown)] { ApplyMessage(shown); });
}

void QueuedWindow::RunOnUiThread(std::function<void()> action) { Queue(std::move(action)); }

void QueuedWindow::SetListRow(ListRowKey key, const ListRowTexts& texts) {
    ListRowTexts shown;
    for (size_t i = 0; i < texts.size(); ++i) shown[i] = ValidUtf8(texts[i]);
    Queue([this, key, shown = std::move(shown)] { ApplyListRow(key, shown); });
}

void QueuedWindow::RemoveListRow(ListRowKey key) {
    Queue([this, key] { ApplyListRowRemoved(key); });
}

void QueuedWindow::SelectListRow(ListRowKey key) {
    Queue([this, key] { ApplyListRowSelected(key); });
}

void QueuedWindow::SetChoices(int id, const std::vector<std::string>& choices, int selected) {
    std::vector<std::string> shown;
    for (const std::string& choice : choices) shown.push_back(ValidUtf8(choice));
    Queue([this, id, shown = std::move(shown), selected] { ApplyChoices(id, shown, selected); });
}

// Shared, not copied, on its way: a frame is some hundred kilobytes. One
// whose bytes do not make its rows is shown blank.
void QueuedWindow::SetPreview(const PreviewPicture& picture) {
    const bool whole = picture.width > 0 && picture.height > 0 &&
                       picture.rgb.size() == static_cast<size_t>(picture.width) * picture.height * 3;
    auto shown = std::make_shared<const PreviewPicture>(whole ? picture : PreviewPicture{});
    Queue([this, shown = std::move(shown)] { ApplyPreview(*shown); });
}

void QueuedWindow::SetControlTooltip(int id, std::string_view text) {
    Queue([this, id, text = ValidUtf8(text)] { ApplyTooltip(id, text); });
}

}  // namespace vantrel
