#pragma once

#include <map>
#include <string>
#include <vector>

#include "encoder_report_sink.h"

namespace vantrel::testing {

// Keeps every panel text and progress post, in order.
class RecordingSink : public EncoderReportSink {
public:
    void SetPanelText(PanelField field, std::string_view text) override {
        panel[field] = std::string(text);
        ++panelUpdates;
    }
    void PostProgress(int32_t position) override { posts.push_back(position); }

    std::string Text(PanelField field) const {
        auto it = panel.find(field);
        return it == panel.end() ? "<unset>" : it->second;
    }

    std::map<PanelField, std::string> panel;
    int panelUpdates = 0;
    std::vector<int32_t> posts;
};

}  // namespace vantrel::testing
