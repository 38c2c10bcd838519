// Real ffmpeg 5.1 console output, cut into the 511-byte reads the pump makes.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "encoder_output_parser.h"
#include "recording_sink.h"

namespace vantrel {
namespace {

std::string ReadTestData(const std::string& name) {
    std::ifstream in(std::string(VANTREL_TEST_DATA) + "/" + name, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void FeedInChunks(ParserState& state, EncoderReportSink& sink, const std::string& text,
                  size_t chunkSize) {
    for (size_t i = 0; i < text.size(); i += chunkSize) {
        ParseEncoderOutput(state, sink, text.substr(i, chunkSize).c_str());
    }
}

TEST(CapturedOutput, ProbeOfH264AacClipFillsThePanel) {
    const std::string text = ReadTestData("ffmpeg51_probe_h264_aac.txt");
    ASSERT_FALSE(text.empty());
    // The whole text at once, as the lines arrive when the encoder is quick.
    ParserState state;
    testing::RecordingSink sink;
    FeedInChunks(state, sink, text, text.size());
    EXPECT_EQ(state.durationSeconds, 20);
    EXPECT_EQ(sink.Text(PanelField::kDuration), "00:00:20.00");
    EXPECT_EQ(sink.Text(PanelField::kBitrate), "937 kb/s");
    EXPECT_EQ(sink.Text(PanelField::kVideoCodec), "h264 (High)");
    EXPECT_EQ(sink.Text(PanelField::kPictureSize), "640x480");
    EXPECT_EQ(sink.Text(PanelField::kFrameRate), "25 fps");
    EXPECT_TRUE(sink.posts.empty());
}

// ffmpeg ends each progress line with a lone CR. Read as it arrives from a
// live encoder (a line per read), every whole second of the 6 s clip is posted.
TEST(CapturedOutput, ConversionProgressLineByLine) {
    const std::string text = ReadTestData("ffmpeg51_convert_progress.txt");
    ParserState state;
    testing::RecordingSink sink;
    state.progressEnabled = true;
    size_t begin = 0;
    while (begin < text.size()) {
        size_t end = text.find_first_of("\r\n", begin);
        end = end == std::string::npos ? text.size() : end + 1;
        ParseEncoderOutput(state, sink, text.substr(begin, end - begin).c_str());
        begin = end;
    }
    EXPECT_EQ(state.durationSeconds, 6);
    EXPECT_EQ(sink.posts, (std::vector<int32_t>{16666, 16666, 33333, 33333, 50000, 50000, 66666,
                                                 66666, 83333, 83333, 100000}));
}

// In full 511-byte reads a chunk may hold two progress lines; only the first
// counts, so the bar moves in fewer, but still increasing, steps.
TEST(CapturedOutput, ConversionProgressInFullReads) {
    const std::string text = ReadTestData("ffmpeg51_convert_progress.txt");
    ParserState state;
    testing::RecordingSink sink;
    state.progressEnabled = true;
    FeedInChunks(state, sink, text, 511);
    EXPECT_EQ(state.durationSeconds, 6);
    ASSERT_GE(sink.posts.size(), 3u);
    EXPECT_TRUE(std::is_sorted(sink.posts.begin(), sink.posts.end()));
    EXPECT_LE(sink.posts.back(), 100000);
}

TEST(CapturedOutput, DamagedSourceCountsDecodingErrors) {
    const std::string text = ReadTestData("ffmpeg51_damaged_mpeg2.txt");
    ParserState state;
    testing::RecordingSink sink;
    FeedInChunks(state, sink, text, 511);
    // The capture holds two "Error while decoding stream" lines.
    EXPECT_EQ(state.decodeFailures, 2);
    EXPECT_EQ(state.durationSeconds, 10);
}

}  // namespace
}  // namespace vantrel
