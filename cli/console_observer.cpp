#include "console_observer.h"

namespace vantrel::cli {

// The panel was printed from the probe; what ffmpeg says of its output
// stream during the conversion is not the source's.
void ConsoleObserver::SetPanelText(PanelField, std::string_view) {}

void ConsoleObserver::PostProgress(int32_t position) {
    if (display_ != nullptr) display_->Update(position, ProgressDisplay::Clock::now());
}

}  // namespace vantrel::cli
