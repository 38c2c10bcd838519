// Real sources through the probe and the conversion with the real ffmpeg:
// bad sources, bad targets and awkward names each end in their outcome and
// lose nothing; sources of the shapes and containers people have fit the
// frame as chosen, measured from the movie made.
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>

#include <cmath>
#include <sstream>

#include "conversion/converter.h"
#include "conversion/encoder_location.h"
#include "tests/support/test_support.h"

namespace vantrel {
namespace {

using namespace testing;

struct : EncoderReportSink {
    void SetPanelText(PanelField, std::string_view) override {}
    void PostProgress(int32_t) override {}
} ignoreReports;

enum Twist { kPlain, kUnreadable, kFolder, kGoneAfterProbe, kLocked, kReadOnlyTarget, kFullDisk };

struct Case {
    const char* name;
    std::string source;  // under the case's folder; the target goes beside it
    std::string content;
    Twist twist;
    ConversionOutcome outcome;  // kUndecodableSource from the probe, any other from the conversion
};

TEST(BadInput, EachEndsInItsOutcomeAndLosesNothing) {
    DropFilePermissionOverrides();  // so that permissions bind though the tests run as root
    TempDir clipDir;
    ASSERT_TRUE(MakeClip(clipDir.File("clip.mp4"), 2));
    const std::string clip = ReadFile(clipDir.File("clip.mp4"));
    const std::string deep = std::string(120, 'L') + "/" + std::string(120, 'M') + "/";
    const Case cases[] = {
        {"empty", "empty.avi", "", kPlain, kUndecodableSource},
        {"text", "notes.avi", "a shopping list\n", kPlain, kUndecodableSource},
        {"truncated", "cut.mp4", clip.substr(0, clip.size() / 3), kPlain, kUndecodableSource},
        {"unreadable", "locked.avi", clip, kUnreadable, kUndecodableSource},
        {"a folder", "folder.avi", "", kFolder, kUndecodableSource},
        {"deleted after the probe", "a.mp4", clip, kGoneAfterProbe, kConversionFailed},
        {"target folder not writable", "a.mp4", clip, kLocked, kConversionFailed},
        {"read-only earlier target", "a.mp4", clip, kReadOnlyTarget, kConversionFailed},
        {"full disk (needs root)", "a.mp4", clip, kFullDisk, kNotEnoughSpace},
        {"blanks, quotes, a dash, a colon", "-say \"cheese\": été.mp4", clip, kPlain, kConverted},
        {"a line feed", "two\nlines.mp4", clip, kPlain, kConverted},
        {"a path past 260 bytes", deep + "Over.mp4", clip, kPlain, kConverted},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        const char* folder = dir.path().c_str();
        const std::string source = dir.File(c.source);
        const std::string target = source.substr(0, source.rfind('.')) + ".d3v";
        // A disk with room for the source and little more; mounting needs root.
        const std::string room = "size=" + std::to_string(clip.size() + 16384);
        if (c.twist == kFullDisk && ::mount("tmpfs", folder, "tmpfs", 0, room.c_str())) continue;
        fs::create_directories(c.twist == kFolder ? source : source.substr(0, source.rfind('/')));
        WriteFile(source, c.content);  // not into a folder
        if (c.twist == kUnreadable) ::chmod(source.c_str(), 0);
        if (c.twist == kReadOnlyTarget) WriteFile(target, "last year's");
        if (c.twist == kReadOnlyTarget) ::chmod(target.c_str(), 0444);
        if (c.twist == kLocked) ::chmod(folder, 0555);
        const std::string before = FileExists(target) ? ReadFile(target) : "(none)";
        Converter converter(TestEncoderSetup(LocateEncoder()));
        const ConversionOutcome probe = converter.Probe(source, nullptr).outcome;
        EXPECT_EQ(probe, c.outcome == kUndecodableSource ? kUndecodableSource : kConverted);
        if (c.twist == kGoneAfterProbe) fs::remove(source);
        if (probe == kConverted) {
            EXPECT_EQ(converter.Convert({source, target, 256}, nullptr, ignoreReports), c.outcome);
        }
        const std::string after = FileExists(target) ? ReadFile(target) : "(none)";
        EXPECT_TRUE(c.outcome == kConverted ? after.size() > 10000 : after == before);
        if (c.twist == kFullDisk) ::umount2(folder, MNT_DETACH);
        ::chmod(folder, 0755);  // so that it can be removed
    }
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
    double first[2] = {1e9, 1e9}, end[2] = {0, 0};  // of the picture, then of the sound
    for (std::string line; std::getline(packets, line);) {
        char kind = 0;
        double at = 0, lasting = 0;
        if (std::sscanf(line.c_str(), "%c%*[^,],%lf,%lf", &kind, &at, &lasting) < 2) continue;
        first[kind == 'a'] = std::min(first[kind == 'a'], at);
        end[kind == 'a'] = std::max(end[kind == 'a'], at + lasting);
    }
    return (end[1] - first[1]) - (end[0] - first[0]);
}

struct Shape {
    const char* name;
    const char* fitted;  // the picture inside the bars in "Fit"; the other two fill the frame
    bool sound;
    std::string make;  // ffmpeg's arguments for a 2 s clip, its file name last
};

TEST(PictureShapes, EachFitsTheFrameAsChosenInThePlayersFormat) {
    const std::string tone = " -f lavfi -i sine=d=2", aac = tone + " -c:a aac",
                      h264 = " -c:v libx264 -preset ultrafast", clip = " -t 2 -pix_fmt yuv420p";
    const Shape shapes[] = {
        {"16:9", "256x144", true, "-i testsrc2=s=1280x720" + aac + h264 + clip + " a.mp4"},
        {"anamorphic DVD", "256x144", true,
         "-i testsrc2=s=720x480,setsar=32/27" + tone + clip + " -c:v mpeg2video -c:a mp2 a.vob"},
        // ffmpeg 5.1 writes no rotation when it encodes, but keeps it on a copy.
        {"upright phone", "108x192", true, "-i testsrc2=s=640x360" + aac + h264 + clip +
         " raw.mp4 && ffmpeg -v error -i raw.mp4 -c copy -metadata:s:v:0 rotate=90 a.mp4"},
        {"2.39:1", "256x108", true, "-i testsrc2=s=956x400" + aac + h264 + clip + " a.mov"},
        {"4:3", "256x192", true, "-i testsrc2=s=640x480" + aac + h264 + clip + " a.mp4"},
        {"interlaced", "256x192", true, "-i testsrc2=s=720x576,setsar=16/15" + tone + clip +
         " -c:v mpeg2video -flags +ilme+ildct -top 1 -c:a mp2 a.mpg"},
        // A screen recording that speeds up half-way.
        {"variable rate", "256x192", true, "-i testsrc2=s=320x240:r=10:d=1 -f lavfi -i testsrc2="
         "s=320x240:r=30:d=1" + tone + " -filter_complex concat -fps_mode vfr" + h264 + " a.mkv"},
        {"no sound", "256x144", false, "-i testsrc2=s=640x360" + h264 + clip + " a.mp4"},
        {"mkv", "256x144", true, "-i testsrc2=s=854x480" + tone + clip + " -c:v mpeg4 a.mkv"},
        {"webm", "256x192", true, "-i testsrc2=s=320x240" + tone + clip + " -speed 8 a.webm"},
        {"m4v", "256x144", true, "-i testsrc2=s=640x360" + aac + h264 + clip + " -f mp4 A.M4V"},
    };
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
        EXPECT_EQ(pictures, shape.fitted + std::string(" 256x192 256x192"));
    }
}

}  // namespace
}  // namespace vantrel
