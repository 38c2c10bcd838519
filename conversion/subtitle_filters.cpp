#include "conversion/subtitle_filters.h"

#include "conversion/filter_graph_text.h"

namespace vantrel {
namespace {

// The fallback font's family, which the packages bring (DejaVu Sans, freely
// licensed), and which has the letters of every European language.
constexpr const char* kPlainFont = "DejaVu Sans";

// ffmpeg gives plain text subtitles a script 288 lines high, which libass
// scales to the frame. A line of about a thirteenth of the frame's height,
// 15 of the player's 192 lines, is as small as stays readable on its screen,
// and two such lines fit a 16:9 film's bottom bar. A dark outline of one line
// keeps the letters apart from a light picture; the margin keeps a line clear
// of the frame's edge but still inside the bar under Fit.
std::string PlainStyle(const OutputFormat& format) {
    const int scriptLines = 288;
    const int fontLines = 15 * scriptLines / format.height;
    const int outlineLines = scriptLines / format.height;
    return std::string("FontName=") + kPlainFont + ",FontSize=" + std::to_string(fontLines) +
           ",Outline=" + std::to_string(outlineLines) +
           ",Shadow=0,BorderStyle=1,OutlineColour=&H202020&,MarginV=" +
           std::to_string(4 * scriptLines / format.height);
}

}  // namespace

std::string TextSubtitlesFilter(const OutputFormat& format, const SubtitleDrawing& subtitles) {
    using Kind = ChosenSubtitles::Kind;
    if (subtitles.kind != Kind::kTextTrack && subtitles.kind != Kind::kFile) return {};
    std::string filter = "subtitles=filename=" + FilterOptionValue(subtitles.textFile);
    if (subtitles.kind == Kind::kTextTrack) filter += ":si=" + std::to_string(subtitles.track);
    if (!subtitles.fontFolder.empty()) filter += ":fontsdir=" + FilterOptionValue(subtitles.fontFolder);
    if (!subtitles.ownStyles) filter += ":force_style=" + FilterOptionValue(PlainStyle(format));
    return filter;
}

}  // namespace vantrel
