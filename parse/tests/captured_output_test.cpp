// Real ffmpeg 4.1, 5.1 and 7.1 console output (tests/data), read as the pump reads it.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <tuple>

#include "parse/tests/chunked_run.h"

namespace vantrel {
namespace {

struct Case {
    const char* file;      // tests/data/ffmpegFILE.txt
    const char* panel;     // duration|bitrate|video codec|picture size|frame rate|
    const char* facts;     // what a conversion is built from
    int64_t duration;      // hundredths; -1 for none
    int32_t pictureFailures, soundFailures;
    size_t posts;          // progress reports
    int32_t lastPost;      // the last one's position
    const char* why;       // the last line that may say why a run failed
};

TEST(CapturedOutput, DescribesTheSourceAndFollowsProgressHoweverThePipeIsRead) {
    const Case cases[] = {
        // The fourcc after the codec means nothing to a user and is dropped.
        {"51_probe_h264_aac", "00:00:20.00|937 kb/s|h264 (High)|640x480|25 fps|",
         "picture 640x480, sound 1/1", 2000, 0, 0, 0, 0, ": No such file or directory"},
        // Each progress line ends in a lone CR and each one moves the bar; the
        // output's own stream line says nothing of the source.
        {"51_convert_progress", "00:00:06.00|938 kb/s|h264 (High)|640x480|25 fps|",
         "picture 640x480, sound 1/1", 600, 0, 0, 13, 100500, ""},
        {"51_damaged_mpeg2", "00:00:10.00|345 kb/s|mpeg2video (Main)|320x240|25 fps|",
         "picture 320x240, no sound", 1000, 2, 0, 1, 100000,
         "damaged.ts: corrupt decoded frame in stream 0"},
        // The cover image is a stream of its own, "(attached pic)", after the movie's.
        {"51_probe_cover_art", "00:00:03.00|146 kb/s|h264 (High)|640x480|25 fps|",
         "picture 640x480, cover, sound 1/1", 300, 0, 0, 0, 0, ": No such file or directory"},
        // A transport stream this short has no average rate, only "25 tbr", and
        // a duration shorter than a second is still one.
        {"51_probe_two_frame_ts", "00:00:00.08|1372 kb/s|mpeg2video (Main)|320x240|25 fps|",
         "picture 320x240, sound 1/1", 8, 0, 0, 0, 0, ": No such file or directory"},
        // Sound only: progress lines start with "size=". "time=" in the file
        // names and the title is no progress.
        {"51_convert_sound_only", "00:00:02.00|75 kb/s||||",
         "no picture, sound 1/1", 200, 0, 0, 1, 100500, ""},
        // 4.1 does not mark the cover "(attached pic)": it has no frame rate.
        {"41_probe_sound_only_cover", "00:00:05.00|116 kb/s||||",
         "no picture, cover, sound 1/1", 500, 0, 0, 0, 0, "At least one output file must be specified"},
        {"71_probe_sound_only_cover", "00:00:05.00|116 kb/s||||",
         "no picture, cover, sound 1/1", 500, 0, 0, 0, 0,
         "At least one output file must be specified"},
        // 4.1 indents its stream lines by four and has no stream ids; its first
        // progress line comes only after half a second.
        {"41_probe_h264_aac", "00:01:00.00|2366 kb/s|h264 (Constrained Baseline)|640x480|25 fps|",
         "picture 640x480, sound 1/1", 6000, 0, 0, 0, 0, ": No such file or directory"},
        {"41_convert_progress", "00:01:00.00|2366 kb/s|h264 (Constrained Baseline)|640x480|25 fps|",
         "picture 640x480, sound 1/1", 6000, 0, 0, 5, 100000, ""},
        // 7.1 counts sizes in KiB and prints its summary between two progress
        // lines; its last one stops short of the duration (the pump ends at 100 %).
        {"71_convert_progress", "00:01:00.00|2366 kb/s|h264 (Constrained Baseline)|640x480|25 fps|",
         "picture 640x480, sound 1/1", 6000, 0, 0, 2, 99849, ""},
        // The second sound track is the one flagged default.
        {"41_probe_two_sound_tracks", "00:00:04.02|865 kb/s|h264 (Constrained Baseline)|320x240|25 fps|",
         "picture 320x240, sound 2/2", 402, 0, 0, 0, 0,
         "At least one output file must be specified"},
        {"71_probe_two_sound_tracks", "00:00:04.02|865 kb/s|h264 (Constrained Baseline)|320x240|25 fps|",
         "picture 320x240, sound 2/2", 402, 0, 0, 0, 0,
         "At least one output file must be specified"},
        // Damaged sound is the sound's affair; damaged pictures count.
        {"51_convert_damaged_sound", "00:00:06.01|1392 kb/s|mpeg2video (Main)|320x240|25 fps|",
         "picture 320x240, sound 1/1", 601, 0, 3, 2, 98668,
         "Error while decoding stream #0:1: Invalid data found when processing input"},
        {"71_convert_damaged_sound", "00:00:06.01|1392 kb/s|mpeg2video (Main)|320x240|25 fps|",
         "picture 320x240, sound 1/1", 601, 0, 3, 1, 98336,
         "[aist#0:1/mp2 @ 0x5634843f6040] [dec:mp2 @ 0x5634843f6bc0] Error submitting packet to decoder: Invalid data found when processing input"},
        {"71_convert_damaged_video_mpeg2", "00:00:06.01|1392 kb/s|mpeg2video (Main)|320x240|25 fps|",
         "picture 320x240, sound 1/1", 601, 0, 0, 1, 98336,
         "[vist#0:0/mpeg2video @ 0x559b088e7fc0] [dec:mpeg2video @ 0x559b089f4c80] corrupt decoded frame"},
        // A recording whose header was never finished: "Duration: N/A".
        {"71_convert_no_duration", "N/A|N/A|h264 (Constrained Baseline)|320x240|25 fps|",
         "picture 320x240, sound 1/1", -1, 0, 0, 3, -1, ""},
        // A hundred hours and more.
        {"71_copy_progress_over_100h", "102:00:00.00|0 kb/s|mjpeg (Baseline)|16x16|0.0003 fps|",
         "picture 16x16, sound 1/1", 36720000, 0, 0, 1, 100000,
         "[aist#0:1/pcm_s16le @ 0x560b7d11e200] Guessed Channel Layout: mono"},
        // Why a run failed, in ffmpeg's words.
        {"51_convert_permission_denied", "00:00:04.02|865 kb/s|h264 (Constrained Baseline)|320x240|25 fps|",
         "picture 320x240, sound 2/2", 402, 0, 0, 0, 0,
         "file:/tmp/x/rodir/out.d3v: Permission denied"},
        {"71_convert_unknown_encoder", "00:00:04.02|865 kb/s|h264 (Constrained Baseline)|320x240|25 fps|",
         "picture 320x240, sound 2/2", 402, 0, 0, 0, 0,
         "Error opening output files: Encoder not found"},
        {"51_convert_tiny_1x1", "00:00:03.00|746 kb/s|rawvideo|1x1|25 fps|",
         "picture 1x1, sound 1/1", 300, 0, 0, 0, 0,
         "Error while processing the decoded data for stream #0:0"},
    };
    for (const Case& c : cases) {
        std::ifstream in(VANTREL_TEST_DATA "/ffmpeg" + std::string(c.file) + ".txt");
        const std::string output{std::istreambuf_iterator<char>(in), {}};
        ASSERT_FALSE(output.empty()) << c.file;
        const testing::Outcome got = testing::RunThroughChunker(output, LineChunker::kMaxChunk);
        EXPECT_EQ(got.descriptions, 1) << c.file;
        EXPECT_EQ(std::tuple(got.panel, got.facts, got.duration, got.pictureFailures,
                             got.soundFailures, got.posts.size(),
                             got.posts.empty() ? 0 : got.posts.back(), got.why),
                  std::tuple(std::string(c.panel), std::string(c.facts), c.duration,
                             c.pictureFailures, c.soundFailures, c.posts, c.lastPost,
                             std::string(c.why)))
            << c.file;
        // However the pipe's reads fall, the parser must end in the same state.
        for (size_t readSize = 1; readSize < LineChunker::kMaxChunk; readSize += 7) {
            EXPECT_TRUE(testing::RunThroughChunker(output, readSize) == got) << c.file << readSize;
        }
    }
}

}  // namespace
}  // namespace vantrel
