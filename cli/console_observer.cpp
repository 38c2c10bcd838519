#include "cli/console_observer.h"

#include <array>
#include <utility>

#include "parse/text_scan.h"

namespace vantrel::cli {
namespace {

constexpr std::array<std::pair<PanelField, const char*>, 5> kPanelLabels = {{
    {PanelField::kDuration, "Duration:     "},
    {PanelField::kBitrate, "Bitrate:      "},
    {PanelField::kVideoCodec, "Video codec:  "},
    {PanelField::kPictureSize, "Picture size: "},
    {PanelField::kFrameRate, "Frame rate:   "},
}};

unsigned BitOf(PanelField field) {
    return 1u << (static_cast<int>(field) - static_cast<int>(PanelField::kDuration));
}

}  // namespace

// ffmpeg describes the source before it describes the output it makes of it,
// whose stream line ("mpeg1video ... 256x192 ... 12 fps") fills the same
// fields: the first text of each field is the source's.
void ConsoleObserver::SetPanelText(PanelField field, std::string_view text) {
    if ((reported_ & BitOf(field)) != 0) return;
    reported_ |= BitOf(field);
    description_.Text(field) = std::string(text);
    if (field == PanelField::kDuration) {
        description_.durationHundredths = ParseClockHundredths(description_.duration.c_str());
    }
}

// The first progress comes once ffmpeg has described the source; so does the
// one posted when a run ends early, and then the panel shows what it said.
void ConsoleObserver::PostProgress(int32_t position) {
    if (!shown_) {
        if (reported_ == 0) return;
        ShowPanel();
    }
    display_.Update(position, ProgressDisplay::Clock::now());
}

void ConsoleObserver::ShowPanel() {
    shown_ = true;
    std::string panel;
    for (const auto& [field, label] : kPanelLabels) {
        const std::string& text = description_.Text(field);
        panel += label + (text.empty() ? std::string("(not reported)") : text) + '\n';
    }
    console_.Print(panel + "Target:       " + target_ + '\n');
    display_.Start(static_cast<double>(description_.durationHundredths) / 100.0, start_);
}

}  // namespace vantrel::cli
