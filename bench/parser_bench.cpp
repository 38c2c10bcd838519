// How fast the parser reads real ffmpeg 5.1 output, cut into the pump's
// 511-byte chunks.
#include <benchmark/benchmark.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "encoder_output_parser.h"

namespace {

class NullSink : public vantrel::EncoderReportSink {
public:
    void SetPanelText(vantrel::PanelField, std::string_view text) override {
        benchmark::DoNotOptimize(text.data());
    }
    void PostProgress(int32_t position) override { benchmark::DoNotOptimize(position); }
};

std::vector<std::string> Chunks(const std::string& name, size_t* bytes) {
    std::ifstream in(std::string(VANTREL_TEST_DATA) + "/" + name, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    const std::string all = text.str();
    std::vector<std::string> chunks;
    for (size_t i = 0; i < all.size(); i += 511) chunks.push_back(all.substr(i, 511));
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
        benchmark::DoNotOptimize(parser.durationHundredths);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes));
}

BENCHMARK_CAPTURE(ParseCapturedOutput, probe, "ffmpeg51_probe_h264_aac.txt");
BENCHMARK_CAPTURE(ParseCapturedOutput, conversion, "ffmpeg51_convert_progress.txt");
BENCHMARK_CAPTURE(ParseCapturedOutput, damaged_source, "ffmpeg51_damaged_mpeg2.txt");

}  // namespace

BENCHMARK_MAIN();
