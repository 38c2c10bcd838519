// Real ffmpeg 4.1, 5.1 and 7.1 console output (tests/data), read as the pump reads it.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <tuple>

#include "parse/tests/chunked_run.h"

namespace vantrel {
namespace {

TEST(CapturedOutput, FillsThePanelAndFollowsProgressHoweverThePipeIsRead) {
    // tests/data/ffmpegVERSION_FILE.txt; the panel's duration|bitrate|video codec|picture
    // size|frame rate| as far as known; the duration in hundredths; decoding failures;
    // progress posts and the last one.
    const std::tuple<const char*, const char*, int64_t, int32_t, size_t, int32_t> cases[] = {
        // The fourcc after the codec means nothing to a user and is dropped.
        {"51_probe_h264_aac", "00:00:20.00|937 kb/s|h264 (High)|640x480|25 fps|", 2000, 0, 0, 0},
        // Each progress line ends in a lone CR and each one moves the bar; the
        // output's own stream line comes last and is what the panel keeps.
        {"51_convert_progress", "00:00:06.00|938 kb/s|mpeg1video|256x192|12 fps|", 600, 0, 13, 100500},
        // Every "Error while decoding stream" line counts, also between others.
        {"51_damaged_mpeg2", "00:00:10.00|345 kb/s|mpeg1video|256x192|12 fps|", 1000, 2, 1, 100000},
        // The cover image is a stream of its own, "(attached pic)", after the movie's.
        {"51_probe_cover_art", "00:00:03.00|146 kb/s|h264 (High)|640x480|25 fps|", 300, 0, 0, 0},
        // A transport stream this short has no average rate: only "25 tbr".
        {"51_probe_two_frame_ts", "00:00:00.08|1372 kb/s|mpeg2video (Main)|320x240|25 fps|", 8, 0,
         0, 0},
        // Shorter than a second, and still a duration.
        {"51_probe_half_second", "00:00:00.52|183 kb/s|h264 (High)|320x240|25 fps|", 52, 0, 0, 0},
        // Sound only: progress lines start with "size=". "time=" in the file
        // names and the title is no progress.
        {"51_convert_sound_only", "00:00:02.00|75 kb/s|", 200, 0, 1, 100500},
        // 4.1 indents its stream lines by four and has no stream ids; its first
        // progress line comes only after half a second.
        {"41_probe_h264_aac", "00:01:00.00|2366 kb/s|h264 (Constrained Baseline)|640x480|25 fps|",
         6000, 0, 0, 0},
        {"41_convert_progress", "00:01:00.00|2366 kb/s|mpeg1video|256x192|12 fps|", 6000, 0, 5,
         100000},
        // 7.1 counts sizes in KiB and prints its summary between two progress
        // lines; its last one stops short of the duration (the pump ends at 100 %).
        {"71_probe_h264_aac", "00:01:00.00|2366 kb/s|h264 (Constrained Baseline)|640x480|25 fps|",
         6000, 0, 0, 0},
        {"71_convert_progress", "00:01:00.00|2366 kb/s|mpeg1video|256x192|12 fps|", 6000, 0, 2,
         99849},
    };
    for (const auto& [file, panel, duration, failures, posts, lastPost] : cases) {
        std::ifstream in(VANTREL_TEST_DATA "/ffmpeg" + std::string(file) + ".txt");
        const std::string output{std::istreambuf_iterator<char>(in), {}};
        const testing::Outcome got = testing::RunThroughChunker(output, LineChunker::kMaxChunk);
        std::string gotPanel;
        for (const auto& [field, text] : got.panel) gotPanel += text + "|";
        EXPECT_EQ(std::tuple(gotPanel, got.duration, got.failures, got.posts.size(),
                             got.posts.empty() ? 0 : got.posts.back()),
                  std::tuple(panel, duration, failures, posts, lastPost)) << file;
        // However the pipe's reads fall, the parser must end in the same state.
        for (size_t readSize = 1; readSize < LineChunker::kMaxChunk; ++readSize) {
            EXPECT_TRUE(testing::RunThroughChunker(output, readSize) == got) << file << readSize;
        }
    }
}

}  // namespace
}  // namespace vantrel
