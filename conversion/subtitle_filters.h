#pragma once

#include <string>

#include "conversion/output_format.h"
#include "conversion/subtitle_drawing.h"

namespace vantrel {

// The filter that draws text subtitles on the finished frame, for the end of
// the picture's chain; empty when `subtitles` are no text.
std::string TextSubtitlesFilter(const OutputFormat& format, const SubtitleDrawing& subtitles);

}  // namespace vantrel
