#include "cli/console_observer.h"

#include <algorithm>
#include <array>
#include <utility>

#include "cli/terminal_columns.h"
#include "platform/translation.h"

namespace vantrel::cli {
namespace {

constexpr std::array<std::pair<LineLabel, const char*>, 9> kLabels = {{
    {LineLabel::kSource, TextToTranslate("Source:")},
    {LineLabel::kDuration, TextToTranslate("Duration:")},
    {LineLabel::kBitrate, TextToTranslate("Bitrate:")},
    {LineLabel::kVideoCodec, TextToTranslate("Video codec:")},
    {LineLabel::kPictureSize, TextToTranslate("Picture size:")},
    {LineLabel::kFrameRate, TextToTranslate("Frame rate:")},
    {LineLabel::kTarget, TextToTranslate("Target:")},
    {LineLabel::kNote, TextToTranslate("Note:")},
    {LineLabel::kPreview, TextToTranslate("Preview:")},
}};

constexpr std::array<std::pair<PanelField, LineLabel>, 5> kPanelLabels = {{
    {PanelField::kDuration, LineLabel::kDuration},
    {PanelField::kBitrate, LineLabel::kBitrate},
    {PanelField::kVideoCodec, LineLabel::kVideoCodec},
    {PanelField::kPictureSize, LineLabel::kPictureSize},
    {PanelField::kFrameRate, LineLabel::kFrameRate},
}};

}  // namespace

std::string LabelledLine(LineLabel label, const std::string& value) {
    // The values start a column after the widest label.
    size_t column = 0;
    std::string shown;
    for (const auto& [which, english] : kLabels) {
        const std::string text = Tr(english);
        column = std::max(column, TerminalColumns(text) + 1);
        if (which == label) shown = text;
    }
    return shown + std::string(column - TerminalColumns(shown), ' ') + value + '\n';
}

void ConsoleObserver::SourceDescribed(const SourceDescription& source) {
    std::string panel;
    for (const auto& [field, label] : kPanelLabels) {
        const std::string& text = source.Text(field);
        panel += LabelledLine(label, text.empty() ? Tr("(not reported)") : text);
    }
    console_.Print(panel + LabelledLine(LineLabel::kTarget, target_));
    display_.Start(start_);
    described_ = true;
}

void ConsoleObserver::Progressed(const ProgressReport& progress) {
    if (described_) display_.Update(progress, ProgressDisplay::Clock::now());
}

}  // namespace vantrel::cli
