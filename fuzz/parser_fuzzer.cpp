// Feeds the encoder-output parser a sequence of chunks, as the pump would, and
// checks after each one that the state says only what the text said.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "encoder_output_parser.h"
#include "text_scan.h"

namespace {

using namespace vantrel;

class CheckingSink : public EncoderReportSink {
public:
    void SetPanelText(PanelField, std::string_view text) override {
        // Every panel text is a piece of the chunk, at most 255 characters.
        if (text.size() > 255) std::abort();
        if (!text.empty() && std::string_view(chunk).find(text) == std::string_view::npos) {
            std::abort();
        }
    }
    void PostProgress(int32_t) override { ++posts; }

    const char* chunk = "";
    int posts = 0;
};

int64_t PositionTheTextSays(const char* chunk) {
    const char* value = chunk + FindSubstring("time=", chunk) + 5;
    const char* p = value;
    while (IsBlank(*p)) ++p;
    return StartsWithClockTime(p) ? ParseClockTime(p) : ParseInt64(value);
}

bool Mentions(const char* chunk, const char* marker) { return std::strstr(chunk, marker) != nullptr; }

}  // namespace

// Input: two bytes choosing the chunk size (1..511), then the encoder's text.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    const size_t chunkSize = 1 + ((static_cast<size_t>(data[0]) << 8) | data[1]) % 511;
    data += 2;
    size -= 2;

    ParserState state;
    state.progressEnabled = true;
    CheckingSink sink;
    char chunk[512];
    for (size_t offset = 0; offset < size; offset += chunkSize) {
        const size_t n = std::min(chunkSize, size - offset);
        std::memcpy(chunk, data + offset, n);
        chunk[n] = '\0';
        if (chunk[0] == '\0') continue;  // a read never yields an empty text

        const int64_t durationBefore = state.durationSeconds;
        const int64_t positionBefore = state.positionSeconds;
        const int32_t failuresBefore = state.decodeFailures;
        const int postsBefore = sink.posts;
        sink.chunk = chunk;
        ParseEncoderOutput(state, sink, chunk);

        if (Mentions(chunk, "time=")) {
            if (state.positionSeconds != PositionTheTextSays(chunk)) std::abort();
            if (state.durationSeconds != durationBefore) std::abort();
            if (state.decodeFailures != failuresBefore) std::abort();
            const bool shouldPost = durationBefore != 0 && state.positionSeconds != 0;
            if (sink.posts - postsBefore != (shouldPost ? 1 : 0)) std::abort();
        } else {
            if (state.positionSeconds != positionBefore) std::abort();
            if (sink.posts != postsBefore) std::abort();
            const bool failure = Mentions(chunk, "frame decoding fail") ||
                                 Mentions(chunk, "Error while decoding stream");
            if (state.decodeFailures != failuresBefore + (failure ? 1 : 0)) std::abort();
            if (state.durationSeconds != durationBefore && !Mentions(chunk, "Duration:") &&
                !Mentions(chunk, ", start")) {
                std::abort();
            }
        }
        if (state.durationSeconds < 0) std::abort();
    }
    return 0;
}
