// ffmpeg's words for the sources and choices that change them.
#include "conversion/encoder_arguments.h"

#include <gtest/gtest.h>

#include <functional>

namespace vantrel {
namespace {

std::string Joined(const std::vector<std::string>& words) {
    std::string text;
    for (const std::string& word : words) text += (text.empty() ? "" : " ") + word;
    return text;
}

const std::string kFitChain =
    "fps=12,yadif=deint=interlaced,scale=w='min(256,round(192*dar/2)*2)':"
    "h='min(192,round(256/dar/2)*2)':flags=lanczos,pad=256:192:(ow-iw)/2:(oh-ih)/2,setsar=1";

TEST(EncoderArguments, ASourceWithSoundInFit) {
    const ConversionRequest request{"/m/-Trip: one.avi", "/m/-trip: one.d3v", 256, PictureFit::kFit};
    const EncoderArguments words =
        ConversionArguments(kPlayerFormat, request, AssumedSource(), "/m/-trip: one.d3v.part");
    EXPECT_EQ(words.Words(), (std::vector<std::string>{
        "-y", "-loglevel", "repeat+info",
        "-skip_loop_filter", "noref", "-i", "file:/m/-Trip: one.avi",
        "-map", "0:V:0", "-map", "0:a:0",
        "-vf", kFitChain, "-af", "aresample=22050:async=1",
        "-c:v", "mpeg1video", "-b:v", "256k", "-mbd", "rd", "-trellis", "1", "-i_qfactor", "0.71",
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
    };
    const auto as = [](auto change) { return std::function<void(SourceDescription&)>(change); };
    const Row rows[] = {
        {"the default sound track is the second", PictureFit::kFit,
         as([](SourceDescription& s) { s.soundTracks = 2, s.chosenSoundTrack = 1; }), "",
         "-map 0:V:0 -map 0:a:1", kFitChain},
        {"no sound: silence as long as the picture", PictureFit::kFit,
         as([](SourceDescription& s) { s.soundTracks = 0; }), "-f lavfi -i anullsrc=r=22050:cl=mono",
         "-map 0:V:0 -map 1:a:0 -shortest", kFitChain},
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
        const EncoderArguments words =
            ConversionArguments(kPlayerFormat, {"/s.mkv", "/s.d3v", 384, row.fit}, source, "/s.part");
        const std::string inputs = Joined(words.inputs);
        const std::string sourceInput = "-skip_loop_filter noref -i file:/s.mkv";
        EXPECT_EQ(inputs, sourceInput + (row.inputs.empty() ? "" : " " + row.inputs));
        EXPECT_EQ(Joined(words.maps), row.maps);
        EXPECT_EQ(words.filters.at(1), row.picture);
        EXPECT_EQ(words.encoderOptions.at(3), "384k");
    }
}

}  // namespace
}  // namespace vantrel
