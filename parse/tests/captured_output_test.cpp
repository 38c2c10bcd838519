// Real ffmpeg 5.1 console output (tests/data), read as the pump reads it.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "chunked_run.h"

namespace vantrel {
namespace {

std::string ReadTestData(const std::string& name) {
    std::ifstream in(std::string(VANTREL_TEST_DATA) + "/" + name, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

struct CapturedCase {
    const char* file;
    int64_t duration;     // hundredths of a second
    const char* panel[5];  // duration, bitrate, video codec, picture size, frame rate
    int32_t failures;
    size_t posts;
    int32_t lastPost;
};

const CapturedCase kCases[] = {
    // The fourcc after the codec means nothing to a user and is dropped.
    {"ffmpeg51_probe_h264_aac.txt", 2000,
     {"00:00:20.00", "937 kb/s", "h264 (High)", "640x480", "25 fps"}, 0, 0, 0},
    // Each progress line ends in a lone CR and each one moves the bar; the
    // output's own stream line comes last and is what the panel keeps.
    {"ffmpeg51_convert_progress.txt", 600,
     {"00:00:06.00", "938 kb/s", "mpeg1video", "256x192", "12 fps"}, 0, 13, 100500},
    // Every "Error while decoding stream" line counts, also between others.
    {"ffmpeg51_damaged_mpeg2.txt", 1000,
     {"00:00:10.00", "345 kb/s", "mpeg1video", "256x192", "12 fps"}, 2, 1, 100000},
    // The cover image is a stream of its own, "(attached pic)", after the movie's.
    {"ffmpeg51_probe_cover_art.txt", 300,
     {"00:00:03.00", "146 kb/s", "h264 (High)", "640x480", "25 fps"}, 0, 0, 0},
    // A transport stream this short has no average rate: only "25 tbr".
    {"ffmpeg51_probe_two_frame_ts.txt", 8,
     {"00:00:00.08", "1372 kb/s", "mpeg2video (Main)", "320x240", "25 fps"}, 0, 0, 0},
    // Shorter than a second, and still a duration.
    {"ffmpeg51_probe_half_second.txt", 52,
     {"00:00:00.52", "183 kb/s", "h264 (High)", "320x240", "25 fps"}, 0, 0, 0},
    // Sound only: progress lines start with "size=". "time=" in the file
    // names and the title is no progress.
    {"ffmpeg51_convert_sound_only.txt", 200, {"00:00:02.00", "75 kb/s", "", "", ""}, 0, 1, 100500},
};

TEST(CapturedOutput, FillsThePanelAndFollowsProgress) {
    for (const CapturedCase& c : kCases) {
        SCOPED_TRACE(c.file);
        const testing::Outcome got = testing::RunThroughChunker(ReadTestData(c.file), 511);
        EXPECT_EQ(got.duration, c.duration);
        for (int i = 0; i < 5; ++i) {
            const auto field = static_cast<PanelField>(static_cast<int>(PanelField::kDuration) + i);
            EXPECT_EQ(got.panel.count(field) ? got.panel.at(field) : "", c.panel[i]) << i;
        }
        EXPECT_EQ(got.failures, c.failures);
        EXPECT_EQ(got.posts.size(), c.posts);
        EXPECT_EQ(got.posts.empty() ? 0 : got.posts.back(), c.lastPost);
    }
}

// However the pipe's reads fall, the parser must end in the same state.
TEST(CapturedOutput, ReadSizesDoNotChangeTheResult) {
    for (const CapturedCase& c : kCases) {
        const std::string output = ReadTestData(c.file);
        const testing::Outcome whole = testing::RunThroughChunker(output, 511);
        for (size_t readSize = 1; readSize < 511; ++readSize) {
            EXPECT_TRUE(testing::RunThroughChunker(output, readSize) == whole)
                << c.file << " in reads of " << readSize;
        }
    }
}

}  // namespace
}  // namespace vantrel
