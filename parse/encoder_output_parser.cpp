#include "encoder_output_parser.h"

#include <cstring>

#include "stream_line.h"
#include "text_scan.h"

namespace vantrel {
namespace {

constexpr size_t kFieldBufferSize = 256;

// ffmpeg 5 writes "time=00:01:05.20"; older encoders wrote seconds. Before the
// first frame it may write "time=N/A" or a huge negative clock.
int64_t ReadPosition(const char* value) {
    const char* p = value;
    while (IsBlank(*p)) ++p;
    if (StartsWithClockTime(p)) return ParseClockTime(p);
    return ParseInt64(value);
}

void ReadProgress(ParserState& state, EncoderReportSink& sink, const char* value) {
    state.positionSeconds = ReadPosition(value);
    const int64_t duration = state.durationSeconds.load(std::memory_order_relaxed);
    if (duration == 0 || state.positionSeconds == 0) return;
    const double percent = static_cast<double>(state.positionSeconds) /
                               static_cast<double>(duration) * 100.0 / state.passDivisor +
                           state.progressBase;
    state.progressPercent = static_cast<float>(percent);
    PostProgress(state, sink);
}

void ReadDuration(ParserState& state, EncoderReportSink& sink, const char* chunk, int32_t marker) {
    // The value starts one character past the marker (normally a blank), then
    // past any further blanks.
    const char* p = chunk + marker + 9;
    if (*p == '\0') return;
    ++p;
    while (IsBlank(*p)) ++p;
    if (*p == '\0') return;
    char field[kFieldBufferSize];
    CopyField(field, p, sizeof field);
    sink.SetPanelText(PanelField::kDuration, field);
    state.durationSeconds.store(ParseClockTime(p), std::memory_order_relaxed);
}

bool DigitThenColon(const char* p) { return IsDigit(p[0]) && p[1] != '\0' && p[2] == ':'; }

// When a chunk boundary cut the "Duration:" marker, the clock time may still
// stand before ", start" in this chunk, or in the early output.
void ReadDurationFromStart(ParserState& state, const char* chunk, int32_t marker) {
    int32_t candidate = 0;
    for (int32_t i = marker - 1; i >= 0; --i) {
        if (chunk[i] == ' ') {
            candidate = i + 1;
            break;
        }
    }
    if (DigitThenColon(chunk + candidate)) {
        state.durationSeconds.store(ParseClockTime(chunk + candidate), std::memory_order_relaxed);
        return;
    }
    const char* early = state.earlyOutput.c_str();
    for (const char* p = early; *p != '\0'; ++p) {
        if (DigitThenColon(p)) {
            state.durationSeconds.store(ParseClockTime(p), std::memory_order_relaxed);
            return;
        }
    }
}

}  // namespace

void ParseEncoderOutput(ParserState& state, EncoderReportSink& sink, const char* chunk) {
    if (state.durationSeconds.load(std::memory_order_relaxed) == 0) state.earlyOutput = chunk;

    // A progress line is only a progress line: nothing else in the chunk counts.
    const int32_t time = FindSubstring("time=", chunk);
    if (time >= 0) {
        ReadProgress(state, sink, chunk + time + 5);
        return;
    }

    const int32_t duration = FindSubstring("Duration:", chunk);
    if (duration >= 0) ReadDuration(state, sink, chunk, duration);

    const int32_t start = FindSubstring(", start", chunk);
    if (start >= 0 && state.durationSeconds.load(std::memory_order_relaxed) == 0) {
        ReadDurationFromStart(state, chunk, start);
    }

    const int32_t bitrate = FindSubstring(", bitrate: ", chunk);
    if (bitrate >= 0) {
        char field[kFieldBufferSize];
        CopyField(field, chunk + bitrate + 11, sizeof field);
        sink.SetPanelText(PanelField::kBitrate, field);
    }

    const int32_t video = FindSubstring("Video: ", chunk);
    if (video >= 0) {
        const VideoStreamFields fields = ReadVideoStreamFields(chunk + video + 7);
        sink.SetPanelText(PanelField::kVideoCodec, fields.codec);
        sink.SetPanelText(PanelField::kPictureSize, fields.pictureSize);
        sink.SetPanelText(PanelField::kFrameRate, fields.frameRate);
    }

    // Old encoders said "frame decoding fail"; ffmpeg 5 says "Error while
    // decoding stream". Either counts once per chunk.
    if (FindSubstring("frame decoding fail", chunk) >= 0 ||
        FindSubstring("Error while decoding stream", chunk) >= 0) {
        ++state.decodeFailures;
    }
}

void PostProgress(const ParserState& state, EncoderReportSink& sink) {
    if (!state.progressEnabled.load(std::memory_order_acquire)) return;
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
