// Sources of the shapes and containers people have, through the probe and the
// conversion with the real ffmpeg in each fit, measured from the movie made.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <sstream>

#include "converter.h"
#include "encoder_location.h"
#include "test_support.h"

namespace vantrel {
namespace {

using namespace testing;

std::string Output(const std::string& command) {
    std::string text;
    FILE* pipe = ::popen(command.c_str(), "r");
    char buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) text.append(buffer, n);
    ::pclose(pipe);
    return text;
}

// "WxH" of the picture inside the black bars, on frames from the middle.
std::string PictureInBars(const std::string& movie) {
    const std::string log = Output("ffmpeg -nostdin -ss 1 -i file:" + Quoted(movie) +
                                   " -vf cropdetect=round=2:reset=0 -frames:v 3 -f null - 2>&1");
    int width = 0, height = 0;
    if (log.rfind("crop=") != std::string::npos)
        std::sscanf(log.c_str() + log.rfind("crop="), "crop=%d:%d", &width, &height);
    return std::to_string(width) + "x" + std::to_string(height);
}

// Seconds the sound lasts longer than the picture, from the packets' times.
double SoundBeyondPicture(const std::string& movie) {
    std::istringstream packets(Output("ffprobe -v error -show_entries packet=codec_type,pts_time,"
                                      "duration_time -of csv=p=0 file:" + Quoted(movie)));
    std::map<std::string, std::pair<double, double>> span;  // first and last time of each kind
    for (std::string line; std::getline(packets, line);) {
        char kind[16] = {};
        double at = 0, lasting = 0;
        if (std::sscanf(line.c_str(), "%15[^,],%lf,%lf", kind, &at, &lasting) < 2) continue;
        auto [known, fresh] = span.try_emplace(kind, at, at + lasting);
        known->second = {std::min(known->second.first, at), std::max(known->second.second, at + lasting)};
    }
    auto length = [&](const char* kind) { return span[kind].second - span[kind].first; };
    return length("audio") - length("video");
}

const std::string kTone = " -f lavfi -i sine=d=2", kH264 = " -c:v libx264 -preset ultrafast";

struct Shape {
    const char* name;
    std::string make;  // ffmpeg's arguments for a 2 s clip, the file name last
    bool sound;
    const char* pictures;  // inside the bars in fit, fill and stretch
};

TEST(PictureShapes, EachFitsTheFrameAsChosenInThePlayersFormat) {
    const std::string tone = kTone + " -c:a aac", clip = " -t 2 -pix_fmt yuv420p";
    const Shape shapes[] = {
        {"16:9", "-i testsrc2=s=1280x720" + tone + kH264 + clip + " a.mp4", true,
         "256x144 256x192 256x192"},
        {"anamorphic DVD", "-i testsrc2=s=720x480,setsar=32/27" + kTone + clip +
         " -c:v mpeg2video -c:a mp2 a.vob", true, "256x144 256x192 256x192"},
        // ffmpeg 5.1 writes no rotation when it encodes, but keeps it on a copy.
        {"upright phone", "-i testsrc2=s=640x360:r=30" + tone + kH264 + clip + " raw.mp4 && ffmpeg "
         "-v error -i raw.mp4 -c copy -metadata:s:v:0 rotate=90 a.mp4", true, "108x192 256x192 256x192"},
        {"2.39:1", "-i testsrc2=s=956x400" + tone + kH264 + clip + " a.mov", true,
         "256x108 256x192 256x192"},
        {"4:3", "-i testsrc2=s=640x480" + tone + kH264 + clip + " a.mp4", true,
         "256x192 256x192 256x192"},
        {"interlaced", "-i testsrc2=s=720x576,setsar=16/15" + kTone + clip + " -c:v mpeg2video"
         " -flags +ilme+ildct -top 1 -c:a mp2 a.mpg", true, "256x192 256x192 256x192"},
        // A screen recording that speeds up half-way.
        {"variable rate", "-i testsrc2=s=320x240:r=10:d=1 -f lavfi -i testsrc2=s=320x240:r=30:d=1"
         + kTone + " -filter_complex concat -fps_mode vfr" + kH264 + " -c:a libvorbis a.mkv", true,
         "256x192 256x192 256x192"},
        {"no sound", "-i testsrc2=s=640x360" + kH264 + clip + " a.mp4", false, "256x144 256x192 256x192"},
        {"mkv", "-i testsrc2=s=854x480" + kTone + clip + " -c:v mpeg4 -c:a mp3 a.mkv", true,
         "256x144 256x192 256x192"},
        {"webm", "-i testsrc2=s=320x240" + kTone + clip + " -deadline realtime -c:a libopus a.webm",
         true, "256x192 256x192 256x192"},
        {"m4v", "-i testsrc2=s=640x360" + tone + kH264 + clip + " -f mp4 A.M4V", true,
         "256x144 256x192 256x192"},
    };
    struct : EncoderReportSink {
        void SetPanelText(PanelField, std::string_view) override {}
        void PostProgress(int32_t) override {}
    } ignoreReports;
    for (const Shape& shape : shapes) {
        SCOPED_TRACE(shape.name);
        TempDir dir;
        ASSERT_EQ(std::system(("cd " + dir.path() + " && ffmpeg -nostdin -v error -y -f lavfi " +
                               shape.make).c_str()), 0);
        const std::string source = dir.File(shape.make.substr(shape.make.rfind(' ') + 1));
        Converter converter(TestEncoderSetup(LocateEncoder()));
        const ProbeResult probe = converter.Probe(source, nullptr);
        ASSERT_EQ(probe.outcome, kConverted);
        EXPECT_EQ(probe.source.hasSound, shape.sound);
        std::string pictures;
        for (const PictureFitChoice& fit : kPictureFits) {
            const std::string target = dir.File(std::string(fit.name) + ".d3v");
            const ConversionRequest request{source, target, 256, fit.fit, probe.source.hasSound};
            EXPECT_EQ(converter.Convert(request, nullptr, ignoreReports), kConverted);
            EXPECT_TRUE(IsHandheldMovie(target));
            pictures += (pictures.empty() ? "" : " ") + PictureInBars(target);
            EXPECT_LT(std::abs(SoundBeyondPicture(target)), 1.0 / 12) << fit.name;
        }
        EXPECT_EQ(pictures, shape.pictures);
    }
}

}  // namespace
}  // namespace vantrel
