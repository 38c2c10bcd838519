#pragma once

#include <algorithm>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "parse/encoder_output_parser.h"
#include "parse/line_chunker.h"

namespace vantrel::testing {

// Everything the parser leaves behind after one run over an encoder's output.
struct Outcome {
    std::map<PanelField, std::string> panel;
    std::vector<int32_t> posts;
    int64_t duration = 0, position = 0;
    int32_t failures = 0;
    bool operator==(const Outcome&) const = default;
};

// Feeds `output` through the line chunker as the pump does, with pipe reads
// of `readSize` bytes, during a conversion (progress posting on).
inline Outcome RunThroughChunker(const std::string& output, size_t readSize) {
    struct : Outcome, EncoderReportSink {
        void SetPanelText(PanelField field, std::string_view text) override { panel[field] = text; }
        void PostProgress(int32_t at) override { posts.push_back(at); }
    } got;
    ParserState state;
    state.progressEnabled = true;
    LineChunker chunker;
    char line[LineChunker::kMaxChunk + 1];
    bool last = false;
    for (size_t done = 0; !last;) {
        const size_t n = std::min({readSize, chunker.space(), output.size() - done});
        std::memcpy(chunker.tail(), output.data() + done, n);
        chunker.Commit(n);
        done += n;
        last = done == output.size();  // the last read flushes what is left of the last line
        while (chunker.Take(line, last) != 0) ParseEncoderOutput(state, got, line);
    }
    return {got.panel, got.posts, state.durationHundredths, state.positionHundredths,
            state.decodeFailures};
}

}  // namespace vantrel::testing
