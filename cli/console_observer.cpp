#include "cli/console_observer.h"

#include <array>
#include <utility>

namespace vantrel::cli {
namespace {

constexpr std::array<std::pair<PanelField, const char*>, 5> kPanelLabels = {{
    {PanelField::kDuration, "Duration:     "},
    {PanelField::kBitrate, "Bitrate:      "},
    {PanelField::kVideoCodec, "Video codec:  "},
    {PanelField::kPictureSize, "Picture size: "},
    {PanelField::kFrameRate, "Frame rate:   "},
}};

}  // namespace

void ConsoleObserver::SourceDescribed(const SourceDescription& source) {
    std::string panel;
    for (const auto& [field, label] : kPanelLabels) {
        const std::string& text = source.Text(field);
        panel += label + (text.empty() ? std::string("(not reported)") : text) + '\n';
    }
    console_.Print(panel + "Target:       " + target_ + '\n');
    display_.Start(start_);
    described_ = true;
}

void ConsoleObserver::Progressed(const ProgressReport& progress) {
    if (described_) display_.Update(progress, ProgressDisplay::Clock::now());
}

}  // namespace vantrel::cli
