#pragma once

#include <algorithm>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "encoder_output_parser.h"
#include "line_chunker.h"

namespace vantrel::testing {

// Everything the parser leaves behind after one run over an encoder's output.
struct Outcome {
    std::map<PanelField, std::string> panel;
    std::vector<int32_t> posts;
    int64_t duration = 0;
    int64_t position = 0;
    int32_t failures = 0;
    bool operator==(const Outcome&) const = default;
};

class RecordingSink : public EncoderReportSink {
public:
    void SetPanelText(PanelField field, std::string_view text) override {
        outcome.panel[field] = std::string(text);
    }
    void PostProgress(int32_t position) override { outcome.posts.push_back(position); }
    Outcome outcome;
};

// Feeds `output` through the line chunker as the pump does, with pipe reads
// of `readSize` bytes, during a conversion (progress posting on).
inline Outcome RunThroughChunker(const std::string& output, size_t readSize) {
    ParserState state;
    state.progressEnabled = true;
    RecordingSink sink;
    LineChunker chunker;
    char line[LineChunker::kMaxChunk + 1];
    for (size_t done = 0; done < output.size();) {
        const size_t n = std::min({readSize, chunker.space(), output.size() - done});
        std::memcpy(chunker.tail(), output.data() + done, n);
        chunker.Commit(n);
        done += n;
        while (chunker.Take(line, false) != 0) ParseEncoderOutput(state, sink, line);
    }
    while (chunker.Take(line, true) != 0) ParseEncoderOutput(state, sink, line);
    sink.outcome.duration = state.durationHundredths;
    sink.outcome.position = state.positionHundredths;
    sink.outcome.failures = state.decodeFailures;
    return sink.outcome;
}

}  // namespace vantrel::testing
