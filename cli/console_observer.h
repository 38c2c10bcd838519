#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "panel_field.h"
#include "progress_display.h"
#include "run_observer.h"

namespace vantrel::cli {

// Collects what a run reports for the terminal. Every call arrives on the
// thread that runs the conversion (the main thread here), so nothing is locked.
class ConsoleObserver : public RunObserver {
public:
    void SetPanelText(PanelField field, std::string_view text) override;
    void PostProgress(int32_t position) override;
    void ShowMessage(std::string_view text) override;

    // Progress goes to `display` from now on; null to drop it.
    void FollowWith(ProgressDisplay* display) { display_ = display; }

    // The panel text of `field`; empty when the run did not report it.
    std::string PanelText(PanelField field) const;
    const std::vector<std::string>& messages() const { return messages_; }

private:
    std::map<PanelField, std::string> panel_;
    std::vector<std::string> messages_;
    ProgressDisplay* display_ = nullptr;
};

}  // namespace vantrel::cli
