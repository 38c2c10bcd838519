// How fast the parser reads real ffmpeg 5.1 output, cut into lines as the
// pump cuts it.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "parse/encoder_output_parser.h"
#include "parse/line_chunker.h"

namespace {

class NullSink : public vantrel::EncoderReportSink {
public:
    void SourceDescribed(const vantrel::SourceDescription& source) override {
        benchmark::DoNotOptimize(source.duration.data());
    }
    void Progressed(const vantrel::ProgressReport& progress) override {
        benchmark::DoNotOptimize(progress.convertedHundredths);
    }
};

std::vector<std::string> Chunks(const std::string& name, size_t* bytes) {
    std::ifstream in(std::string(VANTREL_TEST_DATA) + "/" + name, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    const std::string all = text.str();
    std::vector<std::string> chunks;
    vantrel::LineChunker chunker;
    char line[vantrel::LineChunker::kMaxChunk + 1];
    for (size_t i = 0; i <= all.size();) {
        const size_t n = std::min(chunker.space(), all.size() - i);
        all.copy(chunker.tail(), n, i);
        chunker.Commit(n);
        i += n;
        const bool end = i == all.size();
        while (chunker.Take(line, end) > 0) chunks.emplace_back(line);
        if (end) break;
    }
    *bytes = all.size();
    return chunks;
}

void ParseCapturedOutput(benchmark::State& state, const char* name) {
    size_t bytes = 0;
    const std::vector<std::string> chunks = Chunks(name, &bytes);
    if (bytes == 0) {
        state.SkipWithError("test data missing");
        return;
    }
    NullSink sink;
    for (auto _ : state) {
        vantrel::ParserState parser;
        parser.progressEnabled = true;
        for (const std::string& chunk : chunks) vantrel::ParseEncoderOutput(parser, sink, chunk.c_str());
        benchmark::DoNotOptimize(parser.positionHundredths);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes));
}

BENCHMARK_CAPTURE(ParseCapturedOutput, probe, "ffmpeg51_probe_h264_aac.txt");
BENCHMARK_CAPTURE(ParseCapturedOutput, conversion, "ffmpeg51_convert_progress.txt");
BENCHMARK_CAPTURE(ParseCapturedOutput, damaged_source, "ffmpeg51_damaged_mpeg2.txt");

}  // namespace

BENCHMARK_MAIN();
