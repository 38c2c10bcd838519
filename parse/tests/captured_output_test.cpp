// Real ffmpeg 4.1, 5.1 and 7.1 console output (tests/data), read as the pump reads it.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <tuple>
#include <utility>

#include "parse/stream_line.h"
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

// The parser's outcome of tests/data/ffmpegFILE.txt, which must not depend on
// how the pipe's reads fall.
testing::Outcome ReadCaptured(const std::string& file) {
    std::ifstream in(VANTREL_TEST_DATA "/ffmpeg" + file + ".txt");
    const std::string output{std::istreambuf_iterator<char>(in), {}};
    EXPECT_FALSE(output.empty()) << file;
    const testing::Outcome got = testing::RunThroughChunker(output, LineChunker::kMaxChunk);
    EXPECT_EQ(got.descriptions, 1) << file;
    for (size_t readSize = 1; readSize < LineChunker::kMaxChunk; readSize += 7) {
        EXPECT_TRUE(testing::RunThroughChunker(output, readSize) == got) << file << readSize;
    }
    return got;
}

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
         "picture 320x240, sound -/1", 8, 0, 0, 0, 0, ": No such file or directory"},
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
         "picture 320x240, sound -/1", 601, 0, 3, 2, 98668,
         "Error while decoding stream #0:1: Invalid data found when processing input"},
        {"71_convert_damaged_sound", "00:00:06.01|1392 kb/s|mpeg2video (Main)|320x240|25 fps|",
         "picture 320x240, sound -/1", 601, 0, 3, 1, 98336,
         "[aist#0:1/mp2 @ 0x5634843f6040] [dec:mp2 @ 0x5634843f6bc0] Error submitting packet to decoder: Invalid data found when processing input"},
        {"71_convert_damaged_video_mpeg2", "00:00:06.01|1392 kb/s|mpeg2video (Main)|320x240|25 fps|",
         "picture 320x240, sound -/1", 601, 0, 0, 1, 98336,
         "[vist#0:0/mpeg2video @ 0x559b088e7fc0] [dec:mpeg2video @ 0x559b089f4c80] corrupt decoded frame"},
        // A recording whose header was never finished: "Duration: N/A".
        {"71_convert_no_duration", "N/A|N/A|h264 (Constrained Baseline)|320x240|25 fps|",
         "picture 320x240, sound -/1", -1, 0, 0, 3, -1, ""},
        // A hundred hours and more.
        {"71_copy_progress_over_100h", "102:00:00.00|0 kb/s|mjpeg (Baseline)|16x16|0.0003 fps|",
         "picture 16x16, sound -/1", 36720000, 0, 0, 1, 100000,
         "[aist#0:1/pcm_s16le @ 0x560b7d11e200] Guessed Channel Layout: mono"},
        // Why a run failed, in ffmpeg's words.
        {"51_convert_permission_denied", "00:00:04.02|865 kb/s|h264 (Constrained Baseline)|320x240|25 fps|",
         "picture 320x240, sound 2/2", 402, 0, 0, 0, 0,
         "file:/tmp/x/rodir/out.d3v: Permission denied"},
        {"71_convert_unknown_encoder", "00:00:04.02|865 kb/s|h264 (Constrained Baseline)|320x240|25 fps|",
         "picture 320x240, sound 2/2", 402, 0, 0, 0, 0,
         "Error opening output files: Encoder not found"},
        {"51_convert_tiny_1x1", "00:00:03.00|746 kb/s|rawvideo|1x1|25 fps|",
         "picture 1x1, sound -/1", 300, 0, 0, 0, 0,
         "Error while processing the decoded data for stream #0:0"},
        // Titles that read like a duration and a stream, the file's and a
        // chapter's, are neither.
        {"51_probe_odd_tracks_mkv", "00:00:03.02|6134 kb/s|h264 (Constrained Baseline)|320x240|25 fps|",
         "picture 320x240, sound 3/4", 302, 0, 0, 0, 0, "At least one output file must be specified"},
        // A subtitle that cannot be decoded loses its own lines, no picture.
        // 7.1 words it otherwise, "Error decoding subtitles".
        {"41_convert_subtitles_invalid_utf8", "00:00:03.02|209 kb/s|h264 (Constrained Baseline)|320x240|25 fps|",
         "picture 320x240, sound -/1", 302, 0, 0, 1, 99337,
         "Error while decoding stream #0:2: Invalid data found when processing input"},
        {"51_convert_subtitles_invalid_utf8", "00:00:03.02|209 kb/s|h264 (Constrained Baseline)|320x240|25 fps|",
         "picture 320x240, sound -/1", 302, 0, 0, 2, 100000,
         "Error while decoding stream #0:2: Invalid data found when processing input"},
        {"71_convert_subtitles_invalid_utf8", "00:00:03.02|209 kb/s|h264 (Constrained Baseline)|320x240|25 fps|",
         "picture 320x240, sound -/1", 302, 0, 0, 1, 83443,
         "[sist#0:2/subrip @ 0x55c120f29300] [dec:srt @ 0x55c12103bf80] Error decoding subtitles: Invalid data found when processing input"},
    };
    for (const Case& c : cases) {
        const testing::Outcome got = ReadCaptured(c.file);
        EXPECT_EQ(std::tuple(got.panel, got.facts, got.duration, got.pictureFailures,
                             got.soundFailures, got.posts.size(),
                             got.posts.empty() ? 0 : got.posts.back(), got.why),
                  std::tuple(std::string(c.panel), std::string(c.facts), c.duration,
                             c.pictureFailures, c.soundFailures, c.posts, c.lastPost,
                             std::string(c.why)))
            << c.file;
    }
}

// Every sound and subtitle track of the source, each with what ffmpeg says of
// it: a0 is "0:a:0". 4.1 reads none of Matroska's flags but default and
// forced, and none of MP4's but default; 7.1 names the subtitle decoder after
// the codec, "subrip (srt)", which is no flag.
TEST(CapturedOutput, ListsEverySoundAndSubtitleTrackWithItsFacts) {
    const std::pair<const char*, const char*> cases[] = {
        // The file's own title, "Film: Video: Audio: (default)", is no track's.
        {"41_probe_tracks_mkv",
         "a0 eng stereo/2 default | a1 ger 5.1(side)/6 \"Deutsch\" | "
         "a2 eng stereo/2 \"Director's commentary\" | s0 subrip ger forced | s1 ass eng | "
         "s2 subrip eng"},
        {"51_probe_tracks_mkv",
         "a0 eng stereo/2 default | a1 ger 5.1(side)/6 \"Deutsch\" | "
         "a2 eng stereo/2 comment \"Director's commentary\" | s0 subrip ger forced | "
         "s1 ass eng | s2 subrip eng hearing"},
        {"71_probe_tracks_mkv",
         "a0 eng stereo/2 default | a1 ger 5.1(side)/6 \"Deutsch\" | "
         "a2 eng stereo/2 comment \"Director's commentary\" | s0 subrip ger forced | "
         "s1 ass eng | s2 subrip eng hearing"},
        // "und" says no language; the fourcc and the bitrate come between the
        // codec and the flags.
        {"41_probe_tracks_mp4", "a0 fre 7.1/8 default | a1 - stereo/2 | s0 mov_text eng default"},
        {"51_probe_tracks_mp4",
         "a0 fre 7.1/8 default | a1 - stereo/2 comment | s0 mov_text eng default forced"},
        {"71_probe_tracks_mp4",
         "a0 fre 7.1/8 default | a1 - stereo/2 comment | s0 mov_text eng default forced"},
        // The stream's id before its language; a described track is flagged
        // "(visual impaired) (descriptions)" in 5.1 and 7.1.
        {"41_probe_tracks_ts", "a0 ger stereo/2 | a1 eng 5.1(side)/6 visual"},
        {"51_probe_tracks_ts", "a0 ger stereo/2 | a1 eng 5.1(side)/6 visual"},
        {"71_probe_tracks_ts", "a0 ger stereo/2 | a1 eng 5.1(side)/6 visual"},
        // Titles that look like stream lines and flags, in the file's, a
        // chapter's and the tracks' own metadata; a title of two lines; a
        // layout without a name, which 7.1 guesses ("5.1.4"); "(dub)" and
        // "(original)" are of no concern.
        {"41_probe_odd_tracks_mkv",
         "a0 jpn 5.1/6 | a1 - mono/1 \"Described for the blind\" | "
         "a2 fre mono/1 default \"Stream #0:9(eng): Audio: aac, 48000 Hz, 5.1 (default)\" | "
         "a3 - 10 channels/10 | s0 webvtt fre default forced \"Sous-titres (forced)\""},
        {"51_probe_odd_tracks_mkv",
         "a0 jpn 5.1/6 | a1 - mono/1 visual \"Described for the blind\" | "
         "a2 fre mono/1 default \"Stream #0:9(eng): Audio: aac, 48000 Hz, 5.1 (default)\" | "
         "a3 - 10 channels/10 | s0 webvtt fre default forced hearing \"Sous-titres (forced)\""},
        {"71_probe_odd_tracks_mkv",
         "a0 jpn 5.1/6 | a1 - mono/1 visual \"Described for the blind\" | "
         "a2 fre mono/1 default \"Stream #0:9(eng): Audio: aac, 48000 Hz, 5.1 (default)\" | "
         "a3 - 5.1.4/10 | s0 webvtt fre default forced hearing \"Sous-titres (forced)\""},
        // Earlier captures: no language, no title, no subtitles.
        {"41_probe_two_sound_tracks", "a0 - mono/1 | a1 - mono/1 default"},
        {"51_probe_cover_art", "a0 - mono/1 default"},
        {"71_convert_damaged_sound", "a0 - mono/1"},
    };
    for (const auto& [file, tracks] : cases) EXPECT_EQ(ReadCaptured(file).tracks, tracks) << file;
}

}  // namespace
}  // namespace vantrel

namespace vantrel {
namespace {

// libass says so of each letter that no font on the system has, as with
// Japanese subtitles where fontconfig knows only DejaVu; subtitles it could
// draw whole say nothing of the kind.
TEST(CapturedOutput, CountsTheSubtitlesLettersThatNoFontHas) {
    for (const char* file : {"51_convert_subtitles_without_font", "71_convert_subtitles_without_font"}) {
        EXPECT_GT(ReadCaptured(file).lettersWithoutFont, 0) << file;
    }
    EXPECT_EQ(ReadCaptured("51_convert_subtitles_invalid_utf8").lettersWithoutFont, 0);
}

// What the conversion's work is chosen by, from sources as DVDs, old films,
// cameras and phones make them. ffmpeg 4.1 adds the codec's time base, "59.94
// tbc", which is no rate; a stream that says nothing of its lines' order is
// "-", and the swapped orders are shown the other way round.
TEST(CapturedOutput, TellsTheKindOfPictureItsWorkIsChosenBy) {
    const std::pair<const char*, const char*> cases[] = {
        {"41_probe_dvd_interlaced", "mpeg2video 29.97 fps top first"},
        {"51_probe_dvd_interlaced", "mpeg2video 29.97 fps top first"},
        {"71_probe_dvd_interlaced", "mpeg2video 29.97 fps top first"},
        {"41_probe_phone_hevc_60fps", "hevc 60 fps progressive"},
        {"51_probe_phone_hevc_60fps", "hevc 60 fps progressive"},
        {"71_probe_phone_hevc_60fps", "hevc 60 fps progressive"},
        {"51_probe_divx_avi", "mpeg4 23.98 fps -"},
        {"71_probe_camera_mjpeg", "mjpeg 30 fps -"},
        {"41_probe_vp9_webm", "vp9 30 fps progressive"},
        {"51_probe_two_frame_ts", "mpeg2video 25 fps progressive"},
        {"71_copy_progress_over_100h", "mjpeg 0.0003 fps progressive"},
        {"51_convert_sound_only", " 0 fps -"},
    };
    for (const auto& [file, kind] : cases) EXPECT_EQ(ReadCaptured(file).kind, kind) << file;
    const auto order = [](std::string pixelFormat) {
        return ReadVideoStreamFields("mpeg2video (Main), " + pixelFormat + ", 720x576, 25 fps").fieldOrder;
    };
    EXPECT_EQ(order("yuv420p(tv, top coded first (swapped))"), FieldOrder::kBottomFirst);
    EXPECT_EQ(order("yuv420p(tv, bottom coded first (swapped))"), FieldOrder::kTopFirst);
    EXPECT_EQ(order("yuv420p(bottom first)"), FieldOrder::kBottomFirst);
}

}  // namespace
}  // namespace vantrel
