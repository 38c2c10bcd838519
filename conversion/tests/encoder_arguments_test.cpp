// ffmpeg's words for the sources and choices that change them.
#include "conversion/encoder_arguments.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>

namespace vantrel {
namespace {

std::string Joined(const std::vector<std::string>& words) {
    std::string text;
    for (const std::string& word : words) text += (text.empty() ? "" : " ") + word;
    return text;
}

const std::string kFitScale =
    "scale=w='min(256,round(192*dar/2)*2)':h='min(192,round(256/dar/2)*2)':flags=lanczos,"
    "pad=256:192:(ow-iw)/2:(oh-ih)/2";
const std::string kFitChain = "fps=12,yadif=deint=interlaced," + kFitScale + ",setsar=1";
const std::string kNormalSound = "aresample=22050:async=1";
const std::string kMonoSound = kNormalSound + ",aformat=channel_layouts=mono";
// Plain text subtitles in the player's own size, with the fallback font.
const std::string kPlainStyle =
    R"(:fontsdir=/fonts:force_style=FontName\\=DejaVu Sans\,FontSize\\=22\,Outline\\=1)"
    R"(\,Shadow\\=0\,BorderStyle\\=1\,OutlineColour\\=&H202020&\,MarginV\\=6)";

ConversionRequest Request(PictureFit fit, int32_t kilobits = 384) {
    ConversionRequest request;
    request.sourcePath = "/s.mkv";
    request.targetPath = "/s.d3v";
    request.videoKilobits = kilobits;
    request.fit = fit;
    return request;
}

TEST(EncoderArguments, ASourceWithSoundInFit) {
    ConversionRequest request = Request(PictureFit::kFit, 256);
    request.sourcePath = "/m/-Trip: one.avi";
    const EncoderArguments words = ConversionArguments(kPlayerFormat, request, AssumedSource(), 0,
                                                       nullptr, {}, "/m/-trip: one.d3v.part");
    EXPECT_EQ(words.Words(), (std::vector<std::string>{
        "-y", "-loglevel", "repeat+info",
        "-skip_loop_filter", "noref", "-i", "file:/m/-Trip: one.avi",
        "-map", "0:V:0", "-map", "0:a:0",
        "-vf", kFitChain, "-af", kNormalSound,
        "-c:v", "mpeg1video", "-b:v", "256k", "-threads", "1", "-trellis", "1", "-i_qfactor", "0.71",
        "-strict", "-2", "-c:a", "mp2", "-b:a", "64k", "-ar", "22050", "-ac", "1",
        "-f", "mpeg", "file:/m/-trip: one.d3v.part"}));
    EXPECT_EQ(Joined(ProbeArguments(request.sourcePath).Words()),
              "-y -loglevel repeat+info -skip_loop_filter noref -i file:/m/-Trip: one.avi");
}

TEST(EncoderArguments, EachKindOfSourceAndChoice) {
    struct Row {
        const char* name;
        PictureFit fit;
        std::function<void(SourceDescription&)> source;
        std::string inputs, maps, picture;  // what follows the source's input; the maps; the picture's filters
        std::string sound = kNormalSound;
        int soundTrack = 0;
        SubtitleDrawing subtitles = {};
        std::optional<MeasuredLoudness> loudness = std::nullopt;
    };
    using Kind = ChosenSubtitles::Kind;
    const auto subtitles = [](Kind kind, int track, std::string file, bool ownStyles) {
        return SubtitleDrawing{kind, track, std::move(file), ownStyles, "/fonts"};
    };
    const auto as = [](auto change) { return std::function<void(SourceDescription&)>(change); };
    const Row rows[] = {
        {"the second sound track", PictureFit::kFit,
         as([](SourceDescription& s) { s.soundTracks.resize(2); }), "", "-map 0:V:0 -map 0:a:1",
         kFitChain, kNormalSound, 1},
        {"no sound: silence as long as the picture, with nothing to normalise", PictureFit::kFit,
         as([](SourceDescription& s) { s.soundTracks.clear(); }), "-f lavfi -i anullsrc=r=22050:cl=mono",
         "-map 0:V:0 -map 1:a:0 -shortest", kFitChain, "aresample=22050:async=1"},
        {"a quiet film raised to -16 LUFS, its peaks still under the ceiling", PictureFit::kFit,
         as([](SourceDescription&) {}), "", "-map 0:V:0 -map 0:a:0", kFitChain,
         kMonoSound + ",volume=19.6dB", 0, {}, MeasuredLoudness{-35.6, -22.7}},
        {"a loud one lowered", PictureFit::kFit, as([](SourceDescription&) {}), "",
         "-map 0:V:0 -map 0:a:0", kFitChain, kMonoSound + ",volume=-7.9dB", 0, {},
         MeasuredLoudness{-8.1, 0.4}},
        {"peaks the gain would lift above -3 dBFS held there", PictureFit::kFit,
         as([](SourceDescription&) {}), "", "-map 0:V:0 -map 0:a:0", kFitChain,
         kMonoSound + ",volume=14.0dB,alimiter=limit=0.708:level=0", 0, {}, MeasuredLoudness{-30, -15.4}},
        {"a film mastered very quietly raised by 24 dB at most", PictureFit::kFit,
         as([](SourceDescription&) {}), "", "-map 0:V:0 -map 0:a:0", kFitChain,
         kMonoSound + ",volume=24.0dB", 0, {}, MeasuredLoudness{-55, -40}},
        {"silence left as it is", PictureFit::kFit, as([](SourceDescription&) {}), "",
         "-map 0:V:0 -map 0:a:0", kFitChain, kMonoSound, 0, {}, MeasuredLoudness{-70, -100}},
        {"5.1 and 7.1 folded with the centre's dialogue weighted up", PictureFit::kFit,
         as([](SourceDescription& s) {
             s.soundTracks.resize(2);
             s.soundTracks[0].layout = "5.1(side)", s.soundTracks[1].layout = "7.1";
         }),
         "", "-map 0:V:0 -map 0:a:1", kFitChain,
         "aformat=channel_layouts=5.1,pan=mono|c0=0.5*FC+0.15*FL+0.15*FR+0.1*BL+0.1*BR," + kNormalSound, 1},
        {"stereo and layouts without a centre: ffmpeg's own fold", PictureFit::kFit,
         as([](SourceDescription& s) { s.soundTracks[0].layout = "3.0(back)"; }), "",
         "-map 0:V:0 -map 0:a:0", kFitChain},
        {"text subtitles from a file, drawn on the player's frame in its own size", PictureFit::kFit,
         as([](SourceDescription&) {}), "", "-map 0:V:0 -map 0:a:0",
         "fps=12,yadif=deint=interlaced," + kFitScale +
             ",subtitles=filename=" + R"(/t/a\\\\b\\:c\\\'d\[1\]\,e\;f\\=g.srt)" +
             kPlainStyle + ",setsar=1",
         kNormalSound, 0, subtitles(Kind::kFile, 0, "/t/a\\b:c'd[1],e;f=g.srt", false)},
        {"an ASS track of the source keeps its own styles", PictureFit::kStretch,
         as([](SourceDescription&) {}), "", "-map 0:V:0 -map 0:a:0",
         "fps=12,yadif=deint=interlaced,scale=256:192:flags=lanczos,"
         "subtitles=filename=/s.mkv:si=2:fontsdir=/fonts,setsar=1",
         kNormalSound, 0, subtitles(Kind::kTextTrack, 2, "/s.mkv", true)},
        {"picture subtitles laid on the source's picture before it is scaled", PictureFit::kFit,
         as([](SourceDescription&) {}), "", "-map [movie] -map 0:a:0",
         "[0:V:0]fps=12,yadif=deint=interlaced[picture];[picture][0:s:1]overlay=eof_action=pass," +
             kFitScale + ",setsar=1[movie]",
         kNormalSound, 0, subtitles(Kind::kImageTrack, 1, "", false)},
        {"no picture: black as long as the sound", PictureFit::kFit,
         as([](SourceDescription& s) { s.hasPicture = false; }), "",
         "-map [picture] -map 0:a:0 -vsync passthrough",
         "[0:a:0]aresample=48000,showwaves=s=250x192:n=16:colors=black,pad=256:192,"
         "format=yuv420p,setsar=1[picture]"},
        {"no picture but a cover: the cover, as long as the sound", PictureFit::kStretch,
         as([](SourceDescription& s) { s.hasPicture = false, s.hasCoverArt = true; }), "",
         "-map [picture] -map 0:a:0 -vsync passthrough",
         "[0:a:0]aresample=48000,showwaves=s=250x192:n=16:colors=black,pad=256:192,"
         "format=yuv420p[black];[0:v:0]scale=256:192:flags=lanczos,format=yuv420p[cover];"
         "[black][cover]overlay=x=(W-w)/2:y=(H-h)/2:eof_action=repeat,setsar=1[picture]"},
        {"a picture too small to deinterlace", PictureFit::kStretch,
         as([](SourceDescription& s) { s.pictureWidth = 2, s.pictureHeight = 2; }), "",
         "-map 0:V:0 -map 0:a:0", "fps=12,scale=256:192:flags=lanczos,setsar=1"},
        {"three lines are enough", PictureFit::kFill,
         as([](SourceDescription& s) { s.pictureWidth = 640, s.pictureHeight = 3; }), "",
         "-map 0:V:0 -map 0:a:0",
         "fps=12,yadif=deint=interlaced,scale=w='max(256,round(192*dar/2)*2)':"
         "h='max(192,round(256/dar/2)*2)':flags=lanczos,crop=256:192,setsar=1"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        SourceDescription source = AssumedSource();
        row.source(source);
        const EncoderArguments words = ConversionArguments(
            kPlayerFormat, Request(row.fit), source, row.soundTrack,
            row.loudness ? &*row.loudness : nullptr, row.subtitles, "/s.part");
        const std::string inputs = Joined(words.inputs);
        const std::string sourceInput = "-skip_loop_filter noref -i file:/s.mkv";
        EXPECT_EQ(inputs, sourceInput + (row.inputs.empty() ? "" : " " + row.inputs));
        EXPECT_EQ(Joined(words.maps), row.maps);
        EXPECT_EQ(words.filters.at(1), row.picture);
        EXPECT_EQ(words.filters.at(3), row.sound);
        EXPECT_EQ(words.encoderOptions.at(3), "384k");
    }
}

// The decoder's shortcuts and the deinterlacer, by what ffmpeg said of the
// source's picture.
TEST(EncoderArguments, TheWorkSuitsTheKindOfSource) {
    const struct {
        const char* name;
        const char* codec;
        int width, height;
        double rate;
        FieldOrder order;
        std::string decoding;  // the options before the source's "-i"
        bool deinterlaced;
        int threads = 0;
        bool pictureSubtitles = false;
    } rows[] = {
        {"an NTSC DVD at half size, its fields merged", "mpeg2video", 720, 480, 29.97,
         FieldOrder::kTopFirst, "-lowres 1", false},
        {"a PAL DVD", "mpeg2video", 720, 576, 25, FieldOrder::kBottomFirst, "-lowres 1", false},
        {"a 1080 broadcast", "mpeg2video", 1920, 1080, 25, FieldOrder::kTopFirst, "-lowres 1", false},
        {"a video CD, smaller than twice the frame", "mpeg1video", 352, 288, 25,
         FieldOrder::kUnknown, "", true},
        {"one line short of twice the frame", "mpeg2video", 720, 383, 25, FieldOrder::kTopFirst, "", true},
        {"a DVD with its subtitles' pictures, made for the whole picture", "mpeg2video", 720, 480,
         29.97, FieldOrder::kTopFirst, "", true, 0, true},
        {"a camera's motion JPEG, whose half size saves nothing", "mjpeg", 1280, 720, 30,
         FieldOrder::kUnknown, "", true},
        {"1080p h264 at 30 fps", "h264", 1920, 1080, 30, FieldOrder::kProgressive,
         "-skip_frame noref", true},
        {"NTSC rate h264", "h264", 1280, 720, 29.97, FieldOrder::kUnknown, "-skip_frame noref", true},
        {"a phone's HEVC at 60 fps", "hevc", 1920, 1080, 59.94, FieldOrder::kProgressive,
         "-skip_frame noref", true},
        {"a film's h264 at 24 fps", "h264", 1920, 1080, 23.976, FieldOrder::kProgressive, "", true},
        {"interlaced h264, whose fields refer to each other", "h264", 1920, 1080, 29.97,
         FieldOrder::kTopFirst, "", true},
        {"VP9", "vp9", 1280, 720, 30, FieldOrder::kProgressive, "", true},
        {"two conversions side by side on a core each", "h264", 640, 360, 25,
         FieldOrder::kUnknown, "-threads 1", true, 1},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        SourceDescription source = AssumedSource();
        source.videoCodecId = row.codec;
        source.pictureWidth = row.width, source.pictureHeight = row.height;
        source.framesPerSecond = row.rate;
        source.fieldOrder = row.order;
        ConversionRequest request = Request(PictureFit::kFit);
        request.threads = row.threads;
        SubtitleDrawing subtitles;
        if (row.pictureSubtitles) subtitles = {ChosenSubtitles::Kind::kImageTrack, 0, "", false, "/fonts"};
        const EncoderArguments words =
            ConversionArguments(kPlayerFormat, request, source, 0, nullptr, subtitles, "/s.part");
        EXPECT_EQ(Joined(words.inputs),
                  "-skip_loop_filter noref " + row.decoding + (row.decoding.empty() ? "" : " ") +
                      "-i file:/s.mkv");
        EXPECT_EQ(words.filters.at(1).find("yadif") != std::string::npos, row.deinterlaced);
    }
}

TEST(EncoderArguments, TheLoudnessIsMeasuredOnTheTrackAsThePlayerWouldGetIt) {
    SourceDescription source = AssumedSource();
    source.soundTracks.resize(2);
    source.soundTracks[1].layout = "5.1";
    EXPECT_EQ(Joined(LoudnessArguments(kPlayerFormat, Request(PictureFit::kFit), source, 1).Words()),
              "-y -loglevel repeat+info -skip_loop_filter noref -i file:/s.mkv -map 0:a:1 "
              "-af aformat=channel_layouts=5.1,pan=mono|c0=0.5*FC+0.15*FL+0.15*FR+0.1*BL+0.1*BR,"
              "aresample=22050,aformat=channel_layouts=mono,ebur128=peak=sample:framelog=verbose "
              "-f null -");
}

TEST(EncoderArguments, APreviewIsOneFrameOfThePictureAtItsMoment) {
    const SubtitleDrawing file{ChosenSubtitles::Kind::kFile, 0, "/t/s.srt", false, "/fonts"};
    const EncoderArguments words = PreviewArguments(kPlayerFormat, Request(PictureFit::kFit),
                                                    AssumedSource(), file, 1234.5678,
                                                    PreviewImage::kRawRgb, "/t/p.rgb");
    EXPECT_EQ(Joined(words.general), "-y -loglevel repeat+info -copyts");
    EXPECT_EQ(Joined(words.inputs), "-skip_loop_filter noref -ss 1234.568 -i file:/s.mkv");
    EXPECT_EQ(Joined(words.maps), "-map 0:V:0");
    EXPECT_EQ(Joined(words.filters),
              "-vf fps=12,yadif=deint=interlaced," + kFitScale + ",subtitles=filename=/t/s.srt" +
                  kPlainStyle + ",setsar=1");
    EXPECT_EQ(Joined(words.encoderOptions), "-frames:v 1 -an -c:v rawvideo -pix_fmt rgb24");
    EXPECT_EQ(Joined(words.target), "-f rawvideo file:/t/p.rgb");

    // A picture subtitle's cue begins with its one packet, which the seek
    // must not pass: it lands ten seconds early, and ffmpeg decodes on.
    const SubtitleDrawing pictures{ChosenSubtitles::Kind::kImageTrack, 1, "", false, "/fonts"};
    const EncoderArguments early = PreviewArguments(kPlayerFormat, Request(PictureFit::kFit),
                                                    AssumedSource(), pictures, 4.5,
                                                    PreviewImage::kPng, "/t/p.png");
    EXPECT_EQ(Joined(early.inputs), "-skip_loop_filter noref -ss 0.000 -i file:/s.mkv");
    EXPECT_EQ(Joined(early.maps), "-map [movie]");
    EXPECT_EQ(Joined(early.encoderOptions), "-ss 4.500 -frames:v 1 -an -c:v png");
    EXPECT_EQ(Joined(early.target), "-f image2 -update 1 file:/t/p.png");
}

}  // namespace
}  // namespace vantrel
