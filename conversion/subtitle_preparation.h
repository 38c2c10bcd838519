#pragma once

#include <string>

#include "conversion/conversion_request.h"
#include "conversion/subtitle_drawing.h"
#include "platform/expected.h"

namespace vantrel {

// Subtitles made ready for ffmpeg: a file's text read in its own encoding and
// written as UTF-8 to `copyPath`, which ffmpeg then reads, and the font found.
// The copy is removed when this goes.
class PreparedSubtitles {
public:
    PreparedSubtitles() = default;
    PreparedSubtitles(PreparedSubtitles&& other) noexcept;
    PreparedSubtitles& operator=(PreparedSubtitles&& other) noexcept;
    ~PreparedSubtitles();

    const SubtitleDrawing& drawing() const { return drawing_; }
    // What a user should know of them: "subtitles from Film.de.srt
    // (WINDOWS-1252)"; empty when none are drawn.
    const std::string& note() const { return note_; }

    friend Expected<PreparedSubtitles> PrepareSubtitles(const ChosenSubtitles& chosen,
                                                        const ConversionRequest& request,
                                                        const SourceDescription& source,
                                                        const std::string& font,
                                                        const std::string& copyPath);

private:
    SubtitleDrawing drawing_;
    std::string note_;
    std::string copy_;  // the file to remove
};

// Makes `chosen` ready. Fails, saying why in a user's words, when a subtitle
// file cannot be read or the font that text subtitles need is missing: the
// conversion then does not start, rather than make a film without the
// subtitles that were asked for.
Expected<PreparedSubtitles> PrepareSubtitles(const ChosenSubtitles& chosen,
                                             const ConversionRequest& request,
                                             const SourceDescription& source,
                                             const std::string& font, const std::string& copyPath);

}  // namespace vantrel
