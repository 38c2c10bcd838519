#include "parse/encoder_output_parser.h"

#include <algorithm>
#include <cstring>

#include "parse/stream_line.h"
#include "parse/text_scan.h"

namespace vantrel {
namespace {

constexpr size_t kFieldBufferSize = 256;

bool StartsWith(const char* text, const char* prefix) {
    return std::strncmp(text, prefix, std::strlen(prefix)) == 0;
}

// ffmpeg 4.1 to 7.1 start each progress line with "frame=", or with "size="
// when there is no video. "time=" anywhere else (a file name, a title) is text.
bool IsProgressLine(const char* line) {
    while (IsBlank(*line)) ++line;
    return StartsWith(line, "frame=") || StartsWith(line, "size=");
}

// "time=00:01:05.20"; before the first frame ffmpeg may write "time=N/A" or a
// huge negative clock, which is read as a number and clamped by the view.
int64_t ReadPosition(const char* value) {
    const char* p = value;
    while (IsBlank(*p)) ++p;
    if (StartsWithClockTime(p)) return ParseClockHundredths(p);
    const int64_t seconds = std::clamp<int64_t>(ParseInt64(value), INT64_MIN / 100, INT64_MAX / 100);
    return seconds * 100;
}

void ReadProgress(ParserState& state, EncoderReportSink& sink, const char* value) {
    state.positionHundredths = ReadPosition(value);
    const int64_t duration = state.durationHundredths;
    if (duration == 0 || state.positionHundredths == 0) return;
    const double percent = static_cast<double>(state.positionHundredths) /
                               static_cast<double>(duration) * 100.0 / state.passDivisor +
                           state.progressBase;
    state.progressPercent = static_cast<float>(percent);
    PostProgress(state, sink);
}

void ReadDuration(ParserState& state, EncoderReportSink& sink, const char* line, int32_t marker) {
    // The value starts one character past the marker (normally a blank), then
    // past any further blanks.
    const char* p = line + marker + 9;
    if (*p == '\0') return;
    ++p;
    while (IsBlank(*p)) ++p;
    if (*p == '\0') return;
    char field[kFieldBufferSize];
    CopyField(field, p, sizeof field);
    sink.SetPanelText(PanelField::kDuration, field);
    state.durationHundredths = ParseClockHundredths(p);
}

}  // namespace

void ParseEncoderOutput(ParserState& state, EncoderReportSink& sink, const char* line) {
    if (IsProgressLine(line)) {
        const int32_t time = FindSubstring("time=", line);
        if (time >= 0) ReadProgress(state, sink, line + time + 5);
        return;
    }

    const int32_t duration = FindSubstring("Duration:", line);
    if (duration >= 0) ReadDuration(state, sink, line, duration);

    const int32_t bitrate = FindSubstring(", bitrate: ", line);
    if (bitrate >= 0) {
        char field[kFieldBufferSize];
        CopyField(field, line + bitrate + 11, sizeof field);
        sink.SetPanelText(PanelField::kBitrate, field);
    }

    // A cover image is shown as a video stream of its own; it says nothing of
    // the movie, so it must not replace the movie's stream in the panel.
    const int32_t video = FindSubstring("Video: ", line);
    if (video >= 0 && FindSubstring("(attached pic)", line) < 0) {
        const VideoStreamFields fields = ReadVideoStreamFields(line + video + 7);
        sink.SetPanelText(PanelField::kVideoCodec, fields.codec);
        sink.SetPanelText(PanelField::kPictureSize, fields.pictureSize);
        sink.SetPanelText(PanelField::kFrameRate, fields.frameRate);
    }

    // Only a stream line counts: a title may well hold "Audio: " too.
    if (FindSubstring("Stream #", line) >= 0 && FindSubstring(": Audio: ", line) >= 0) {
        state.sawSound = true;
    }

    // Old encoders said "frame decoding fail"; ffmpeg 5 says "Error while
    // decoding stream". Either counts once per line.
    if (FindSubstring("frame decoding fail", line) >= 0 ||
        FindSubstring("Error while decoding stream", line) >= 0) {
        ++state.decodeFailures;
    }
}

void PostProgress(const ParserState& state, EncoderReportSink& sink) {
    if (!state.progressEnabled) return;
    const double thousandths = static_cast<double>(state.progressPercent) * 1000.0;
    // Truncate toward zero; keep a wild value inside int32 rather than invoke UB.
    int32_t position;
    if (thousandths >= 2147483647.0) {
        position = INT32_MAX;
    } else if (thousandths <= -2147483648.0) {
        position = INT32_MIN;
    } else {
        position = static_cast<int32_t>(thousandths);
    }
    sink.PostProgress(position);
}

}  // namespace vantrel
