#include "encoder_output_parser.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "recording_sink.h"

namespace vantrel {
namespace {

using testing::RecordingSink;

class ParserTest : public ::testing::Test {
protected:
    void Feed(const std::string& chunk) { ParseEncoderOutput(state, sink, chunk.c_str()); }

    ParserState state;
    RecordingSink sink;
};

TEST_F(ParserTest, WorkedExampleFillsPanelThenPostsProgress) {
    state.progressEnabled = true;
    Feed("  Duration: 00:01:30.5, start: 0.0, bitrate: 800 kb/s\r\n"
         "  Video: mpeg1video, yuv420p, 256x192, 12 fps\r\n");
    EXPECT_EQ(state.durationSeconds, 90);
    EXPECT_EQ(sink.Text(PanelField::kDuration), "00:01:30.5");
    EXPECT_EQ(sink.Text(PanelField::kBitrate), "800 kb/s");
    EXPECT_EQ(sink.Text(PanelField::kVideoCodec), "mpeg1video");
    EXPECT_EQ(sink.Text(PanelField::kPictureSize), "256x192");
    EXPECT_EQ(sink.Text(PanelField::kFrameRate), "12 fps");
    EXPECT_EQ(state.decodeFailures, 0);

    Feed("frame=  10 q=2.0 time=45.2 bitrate= 200.0kbits/s");
    EXPECT_EQ(state.positionSeconds, 45);
    EXPECT_FLOAT_EQ(state.progressPercent, 50.0f);
    EXPECT_EQ(sink.posts, std::vector<int32_t>{50000});
}

struct ProgressCase {
    const char* name;
    int64_t duration;
    const char* chunk;
    int64_t position;
    std::vector<int32_t> posts;
};

TEST_F(ParserTest, ProgressLines) {
    const ProgressCase cases[] = {
        {"old seconds", 90, "time=45.2", 45, {50000}},
        {"today's clock", 90, "frame= 5 time=00:01:05.20 bitrate=1", 65, {72222}},
        {"blanks before clock", 90, "time=  00:00:09.00", 9, {10000}},
        {"not a number", 90, "time=N/A bitrate=N/A", 0, {}},
        // Before the first frame ffmpeg may print a huge negative clock; it is
        // read as a number like any other text, and the view clamps it.
        {"negative clock", 100, "time=-577014:32:22.77", -577014, {-577014000}},
        {"beyond the duration", 90, "time=100", 100, {111111}},
        {"no duration known", 0, "time=30", 30, {}},
        {"zero position", 90, "time=00:00:00.00", 0, {}},
    };
    for (const auto& c : cases) {
        ParserState s;
        RecordingSink r;
        s.progressEnabled = true;
        s.durationSeconds = c.duration;
        ParseEncoderOutput(s, r, c.chunk);
        EXPECT_EQ(s.positionSeconds, c.position) << c.name;
        EXPECT_EQ(r.posts, c.posts) << c.name;
    }
}

TEST_F(ParserTest, ProgressChunkIgnoresEveryOtherMarker) {
    state.durationSeconds = 90;
    state.progressEnabled = true;
    Feed("Duration: 00:00:10.00, bitrate: 1 kb/s\nVideo: a, b, 1x1, 1 fps\n"
         "frame decoding fail\ntime=9");
    EXPECT_EQ(state.durationSeconds, 90);
    EXPECT_EQ(sink.panelUpdates, 0);
    EXPECT_EQ(state.decodeFailures, 0);
    EXPECT_EQ(sink.posts, std::vector<int32_t>{10000});
}

TEST_F(ParserTest, NothingIsPostedWhilePostingIsOff) {
    state.durationSeconds = 90;
    Feed("time=45");
    EXPECT_FLOAT_EQ(state.progressPercent, 50.0f);
    EXPECT_TRUE(sink.posts.empty());
}

TEST_F(ParserTest, DurationThatIsNoClockTimeResetsTheKnownDuration) {
    state.durationSeconds = 90;
    Feed("  Duration: N/A, bitrate: N/A\n");
    EXPECT_EQ(sink.Text(PanelField::kDuration), "N/A");
    EXPECT_EQ(state.durationSeconds, 0);
}

TEST_F(ParserTest, DurationMarkerAtTheVeryEndDoesNothing) {
    Feed("abc Duration:");
    Feed("abc Duration: ");
    EXPECT_EQ(sink.panelUpdates, 0);
    EXPECT_EQ(state.durationSeconds, 0);
}

// A marker cut by a chunk boundary is seen in neither chunk; the ", start"
// fallback recovers the clock time where it can.
struct SplitCase {
    const char* name;
    const char* first;
    const char* second;
    int64_t duration;
};

TEST(ParserSplitDuration, StartFallback) {
    const SplitCase cases[] = {
        {"inside the marker", "  Dura", "tion: 00:01:30.5, start: 0.0, bitrate: 8 kb/s", 90},
        {"before the clock", "  Duration: ", "00:01:30.5, start: 0.0, bitrate: 8 kb/s", 90},
        {"inside the clock", "  Duration: 0", "0:01:30.5, start: 0.0, bitrate: 8 kb/s", 0},
    };
    for (const auto& c : cases) {
        ParserState state;
        testing::RecordingSink sink;
        ParseEncoderOutput(state, sink, c.first);
        ParseEncoderOutput(state, sink, c.second);
        EXPECT_EQ(state.durationSeconds, c.duration) << c.name;
        EXPECT_EQ(sink.Text(PanelField::kBitrate), "8 kb/s") << c.name;
    }
}

TEST(ParserStartFallback, ScansEarlyOutputFromAnEarlierChunk) {
    ParserState state;
    testing::RecordingSink sink;
    state.earlyOutput = "x 12:3y 00:00:42.00";
    state.durationSeconds = 5;
    // "Duration:" with no clock resets the duration to 0; the chunk itself has
    // no clock before ", start", so the early output (an older chunk) is used.
    ParseEncoderOutput(state, sink, "Duration: N/A, start x");
    EXPECT_EQ(state.durationSeconds, 0);  // "12:3y" is the first digit-colon position; it fails and ends the scan
    state.earlyOutput = "in 00:00:42.00";
    state.durationSeconds = 5;
    ParseEncoderOutput(state, sink, "Duration: N/A, start x");
    EXPECT_EQ(state.durationSeconds, 42);
}

struct VideoCase {
    const char* name;
    const char* chunk;
    const char* codec;
    const char* size;
    const char* rate;
};

TEST(ParserVideoLine, OldAndTodaysForms) {
    const VideoCase cases[] = {
        {"old four fields", "  Video: mpeg4, yuv420p, 320x240, 25.00 fps\r\n", "mpeg4", "320x240",
         "25.00 fps"},
        // With three fields the old walk runs into the next line of the chunk.
        {"old three fields", "  Video: mpeg4, yuv420p, 320x240\r\n  Audio: mp2, 44100 Hz\r\n",
         "mpeg4", "320x240", "  Audio: mp2"},
        {"old, cut by the chunk end", "  Video: mpeg4, yuv420p", "mpeg4", "", ""},
        {"ffmpeg 5 h264",
         "Stream #0:0[0x1](und): Video: h264 (High) (avc1 / 0x31637661), yuv420p(tv, bt709, "
         "progressive), 1920x1080 [SAR 1:1 DAR 16:9], 2000 kb/s, 25 fps, 25 tbr, 90k tbn\n",
         "h264 (High)", "1920x1080", "25 fps"},
        {"ffmpeg 5 output stream",
         "Stream #0:0(und): Video: mpeg1video, yuv420p(tv, progressive), 256x192 [SAR 1:1 DAR "
         "4:3], q=2-31, 256 kb/s, 12 fps, 90k tbn (default)\n",
         "mpeg1video", "256x192", "12 fps"},
        {"fractional rate", "Video: h264, yuv420p(tv), 720x480, 29.97 fps, 29.97 tbr\n", "h264",
         "720x480", "29.97 fps"},
    };
    for (const auto& c : cases) {
        ParserState state;
        testing::RecordingSink sink;
        ParseEncoderOutput(state, sink, c.chunk);
        EXPECT_EQ(sink.Text(PanelField::kVideoCodec), c.codec) << c.name;
        EXPECT_EQ(sink.Text(PanelField::kPictureSize), c.size) << c.name;
        EXPECT_EQ(sink.Text(PanelField::kFrameRate), c.rate) << c.name;
    }
}

TEST_F(ParserTest, DecodingFailuresCountOncePerChunk) {
    Feed("frame decoding fail; frame decoding fail");
    Feed("x frame decoding fail y frame decoding fail");
    EXPECT_EQ(state.decodeFailures, 2);
    Feed("Error while decoding stream #0:0: Invalid data found when processing input\n");
    EXPECT_EQ(state.decodeFailures, 3);
    Feed("concealing 20 DC, 20 AC, 20 MV errors in P frame");
    EXPECT_EQ(state.decodeFailures, 3);
}

TEST(PostProgress, TruncatesThousandthsTowardZero) {
    const std::pair<float, int32_t> cases[] = {
        {33.333332f, 33333}, {50.0f, 50000}, {100.0f, 100000}, {-0.0009f, 0}, {-1.5f, -1500}};
    for (const auto& [percent, expected] : cases) {
        ParserState state;
        testing::RecordingSink sink;
        state.progressEnabled = true;
        state.progressPercent = percent;
        PostProgress(state, sink);
        EXPECT_EQ(sink.posts, std::vector<int32_t>{expected}) << percent;
    }
}

}  // namespace
}  // namespace vantrel
