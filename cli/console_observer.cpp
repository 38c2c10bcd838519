#include "console_observer.h"

namespace vantrel::cli {

void ConsoleObserver::SetPanelText(PanelField field, std::string_view text) {
    panel_[field] = std::string(text);
}

void ConsoleObserver::PostProgress(int32_t position) {
    if (display_ != nullptr) display_->Update(position, ProgressDisplay::Clock::now());
}

void ConsoleObserver::ShowMessage(std::string_view text) { messages_.emplace_back(text); }

std::string ConsoleObserver::PanelText(PanelField field) const {
    const auto found = panel_.find(field);
    return found == panel_.end() ? std::string() : found->second;
}

}  // namespace vantrel::cli
