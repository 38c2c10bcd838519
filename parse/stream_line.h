#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vantrel {

// The flags ffmpeg writes after a stream's description, " (default)",
// " (forced)"..., those that say which track to take.
struct StreamFlags {
    bool isDefault = false;
    bool isForced = false;
    bool isComment = false;
    bool isHearingImpaired = false;
    bool isVisualImpaired = false;
};

// One stream line of an input's description:
// "Stream #0:2[0x102](eng): Audio: ac3 (AC-3 / 0x332D4341), 48000 Hz, 5.1(side), fltp, 448 kb/s
// (visual impaired)". The views point into the line read.
struct StreamLine {
    int64_t index = 0;             // N of "#0:N"
    std::string_view language;     // "eng"; empty when the line has none
    std::string_view kind;         // "Video", "Audio", "Subtitle", "Data", "Attachment"
    std::string_view description;  // what follows "Audio: ", without the flags
    StreamFlags flags;
};

// `line` is a line of ffmpeg's; a stream line starts, after its indentation,
// with "Stream #0:". None for any other line, and for one whose kind is not
// where ffmpeg puts it.
std::optional<StreamLine> ReadStreamLine(const char* line);

// How a picture's lines are shown, from its pixel format's brackets:
// "yuv420p(tv, top first)". Unknown when ffmpeg says nothing of it.
enum class FieldOrder { kUnknown, kProgressive, kTopFirst, kBottomFirst };

// What the panel shows of a "Video: " stream description, and the facts the
// conversion's work is chosen by.
struct VideoStreamFields {
    std::string codec;
    std::string pictureSize;
    std::string frameRate;
    int width = 0;  // the picture size's numbers; 0 when it has none
    int height = 0;
    double framesPerSecond = 0;  // the frame rate's number; 0 when not said
    FieldOrder fieldOrder = FieldOrder::kUnknown;
};

// `description` is a video stream's (StreamLine::description). ffmpeg writes
// fields with commas inside brackets ("yuv420p(tv, bt709, progressive)"), so
// fields are split only at commas outside brackets. A field the line does not
// have stays empty.
VideoStreamFields ReadVideoStreamFields(std::string_view description);

// The channels of an "Audio: " stream description, as ffmpeg wrote them.
struct SoundStreamFields {
    std::string layout;  // "5.1(side)", "stereo", "6 channels"; empty when not said
    int channels = 0;    // 0 when the layout is not one ffmpeg names
};

SoundStreamFields ReadSoundStreamFields(std::string_view description);

// The codec of a "Subtitle: " stream description: "subrip" of "subrip (srt)".
std::string ReadSubtitleCodec(std::string_view description);

}  // namespace vantrel
