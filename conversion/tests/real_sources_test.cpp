// Real sources through the probe and the conversion with the real ffmpeg:
// bad sources, bad targets and awkward names each end in their outcome and
// lose nothing; sources of the shapes and containers people have fit the
// frame as chosen, measured from the movie made.
#include <gtest/gtest.h>

#include <atomic>
#include <sys/mount.h>
#include <sys/stat.h>

#include <cmath>
#include <functional>
#include <sstream>

#include "conversion/converter.h"
#include "conversion/encoder_location.h"
#include "tests/support/test_support.h"

namespace vantrel {
namespace {

using namespace testing;

using enum ConversionOutcome;

// What a conversion reports while it runs.
struct Reports : EncoderReportSink {
    void SourceDescribed(const SourceDescription&) override { ++descriptions; }
    void Progressed(const ProgressReport& progress) override {
        if (progress.position) ++positions;
    }
    int descriptions = 0, positions = 0;
} ignoreReports;

enum Twist { kPlain, kUnreadable, kFolder, kGoneAfterProbe, kLocked, kReadOnlyTarget, kSmallDisk, kFullDisk };

// A disk that fills up although the movie seemed to fit: its first answer,
// the one a conversion starts on, is the room a guess would want.
class RoomAtFirst : public FreeSpaceSource {
public:
    std::optional<uint64_t> FreeBytes(const std::string& folder) const override {
        if (!asked_.exchange(true)) return uint64_t{1} << 40;
        return FileSystemFreeSpace().FreeBytes(folder);
    }

private:
    mutable std::atomic<bool> asked_{false};
};

struct Case {
    const char* name;
    std::string source;  // under the case's folder; the target goes beside it
    std::string content;
    Twist twist;
    ConversionOutcome outcome;  // kUndecodable from the probe, any other from the conversion
};

TEST(BadInput, EachEndsInItsOutcomeAndLosesNothing) {
    DropFilePermissionOverrides();  // so that permissions bind though the tests run as root
    TempDir clipDir;
    ASSERT_TRUE(MakeClip(clipDir.File("clip.mp4"), 2));
    const std::string clip = ReadFile(clipDir.File("clip.mp4"));
    const std::string deep = std::string(120, 'L') + "/" + std::string(120, 'M') + "/";
    const Case cases[] = {
        {"empty", "empty.avi", "", kPlain, kUndecodable},
        {"text", "notes.avi", "a shopping list\n", kPlain, kUndecodable},
        {"truncated", "cut.mp4", clip.substr(0, clip.size() / 3), kPlain, kUndecodable},
        {"unreadable", "locked.avi", clip, kUnreadable, kUndecodable},
        {"a folder", "folder.avi", "", kFolder, kUndecodable},
        // ffmpeg can no longer read it, and says so.
        {"deleted after the probe", "a.mp4", clip, kGoneAfterProbe, kUndecodable},
        {"target folder not writable", "a.mp4", clip, kLocked, kFailed},
        {"read-only earlier target", "a.mp4", clip, kReadOnlyTarget, kFailed},
        {"a disk too small for it (needs root)", "a.mp4", clip, kSmallDisk, kWillNotFit},
        {"a disk that fills up all the same (needs root)", "a.mp4", clip, kFullDisk, kNoSpace},
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
        const bool small = c.twist == kSmallDisk || c.twist == kFullDisk;
        if (small && ::mount("tmpfs", folder, "tmpfs", 0, room.c_str())) continue;
        fs::create_directories(c.twist == kFolder ? source : source.substr(0, source.rfind('/')));
        WriteFile(source, c.content);  // not into a folder
        if (c.twist == kUnreadable) ::chmod(source.c_str(), 0);
        if (c.twist == kReadOnlyTarget) WriteFile(target, "last year's");
        if (c.twist == kReadOnlyTarget) ::chmod(target.c_str(), 0444);
        if (c.twist == kLocked) ::chmod(folder, 0555);
        const std::string before = FileExists(target) ? ReadFile(target) : "(none)";
        Converter converter(TestEncoderSetup(
            LocateEncoder(), c.twist == kFullDisk ? std::make_shared<RoomAtFirst>() : nullptr));
        const auto probe = converter.Probe(source, nullptr);
        EXPECT_EQ(probe.has_value(), c.outcome != kUndecodable || c.twist == kGoneAfterProbe);
        if (c.twist == kGoneAfterProbe) fs::remove(source);
        if (probe) {
            const ConversionReport report =
                converter.Convert(Request(source, target), &*probe, nullptr, ignoreReports);
            EXPECT_EQ(report.outcome, c.outcome);
            // Why, in the system's words, for those it refused to write.
            if (c.twist == kLocked || c.twist == kReadOnlyTarget) {
                EXPECT_NE(report.reason.find("Permission denied"), std::string::npos) << report.reason;
            }
            if (c.twist == kSmallDisk) {
                EXPECT_NE(report.reason.find(" free; this movie needs about "), std::string::npos)
                    << report.reason;
            }
            if (c.twist == kFullDisk) {
                EXPECT_EQ(report.reason, "The disk is full");
            }
        }
        const std::string after = FileExists(target) ? ReadFile(target) : "(none)";
        EXPECT_TRUE(c.outcome == kConverted ? after.size() > 10000 : after == before);
        // Nothing is left on the disk but the source: no partial file either.
        if (small) {
            EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
            ::umount2(folder, MNT_DETACH);
        }
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

// Seconds the sound lasts longer than the picture: the sound from its
// packets' times, the picture from its frame count (a packet of the program
// stream may hold several small frames, and only the first has a time).
double SoundBeyondPicture(const std::string& movie) {
    std::istringstream packets(Output("ffprobe -v error -select_streams a -show_entries "
                                      "packet=pts_time,duration_time -of csv=p=0 file:" + Quoted(movie)));
    double first = 1e9, end = 0;
    for (std::string line; std::getline(packets, line);) {
        double at = 0, lasting = 0;
        if (std::sscanf(line.c_str(), "%lf,%lf", &at, &lasting) < 2) continue;
        first = std::min(first, at);
        end = std::max(end, at + lasting);
    }
    const std::string frames = Output("ffprobe -v error -count_frames -select_streams v -show_entries "
                                      "stream=nb_read_frames -of csv=p=0 file:" + Quoted(movie));
    return (end - first) - std::atof(frames.c_str()) / kPlayerFormat.framesPerSecond;
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
        const auto probe = converter.Probe(source, nullptr);
        ASSERT_TRUE(probe.has_value());
        EXPECT_EQ(probe->hasSound(), shape.sound);
        std::string pictures;
        for (const PictureFitChoice& fit : kPictureFits) {
            const std::string target = dir.File(std::string(fit.name) + ".d3v");
            const ConversionRequest request = Request(source, target, fit.fit);
            EXPECT_EQ(converter.Convert(request, &*probe, nullptr, ignoreReports).outcome, kConverted);
            EXPECT_TRUE(IsHandheldMovie(target));
            pictures += (pictures.empty() ? "" : " ") + PictureInBars(target);
            EXPECT_LT(std::abs(SoundBeyondPicture(target)), 1.0 / 12) << fit.name;
        }
        EXPECT_EQ(pictures, shape.fitted + std::string(" 256x192 256x192"));
    }
}

// Damages a few packets of the sound in an MPEG transport stream that ffmpeg
// wrote (its sound is PID 0x101), leaving their headers, and so the picture,
// intact.
void DamageSound(const std::string& path) {
    std::string ts = ReadFile(path);
    int seen = 0, damaged = 0;
    for (size_t p = 0; p + 188 <= ts.size() && damaged < 20; p += 188) {
        const int pid = (ts[p + 1] & 0x1f) << 8 | static_cast<unsigned char>(ts[p + 2]);
        const bool starts = (ts[p + 1] & 0x40) != 0;
        if (pid != 0x101 || starts || ++seen <= 20 || seen % 10 != 1) continue;
        const bool adapted = (ts[p + 3] & 0x20) != 0;
        for (size_t i = p + 4 + (adapted ? 1 + static_cast<unsigned char>(ts[p + 4]) : 0); i < p + 188; ++i)
            ts[i] = '\xff';  // false sync words the decoder trips on
        ++damaged;
    }
    WriteFile(path, ts);
}

struct Awkward {
    const char* name;
    std::string make;  // shell words in the case's folder that make a.* (the source)
    std::string says;  // in the report's notes
    std::function<void(const std::string& movie)> check = {};
};

// Sources unlike the usual movie, each converted as the window does (after a
// probe) and as the command line does (without one, finding out as it goes).
TEST(AwkwardSources, EachConvertsAndTheReportSaysWhatItShould) {
    const std::string ff = "ffmpeg -nostdin -v error -y -f lavfi -i ";
    const std::string h264 = " -c:v libx264 -preset ultrafast -pix_fmt yuv420p";
    const Awkward sources[] = {
        {"the second sound track is the default", ff + "testsrc2=s=320x240:d=3 -f lavfi -i "
         "sine=f=440:d=3 -f lavfi -i sine=f=880:d=3 -map 0 -map 1 -map 2" + h264 +
         " -c:a aac -disposition:a:0 0 -disposition:a:1 default a.mkv",
         "sound track 2 of 2 (mono) was converted",
         [](const std::string& movie) { EXPECT_NEAR(SoundFrequency(movie), 880, 20); }},
        // More than ten places: damaged pictures that many would end the conversion.
        {"damaged sound in a recording", ff + "testsrc2=s=320x240:d=6 -f lavfi -i sine=d=6"
         " -c:v mpeg2video -c:a mp2 -b:a 128k -f mpegts a.ts", "damaged sound was skipped (24 places)"},
        {"no duration in the header", ff + "testsrc2=s=320x240:d=3 -f lavfi -i sine=d=3" + h264 +
         " -c:a aac -f matroska - > a.mkv", ""},
        {"sound only", ff + "sine=d=3 -c:a aac a.mp4", "the source has no picture: the movie is black",
         [](const std::string& movie) { EXPECT_NEAR(SoundBeyondPicture(movie), 0, 1.0 / 12); }},
        {"sound and its cover", ff + "sine=d=3 -f lavfi -i testsrc2=s=300x300:d=1 -map 0 -map 1"
         " -frames:v 1 -c:a aac -c:v mjpeg -disposition:v:0 attached_pic a.m4a",
         "the source has no moving picture: its cover is shown",
         [](const std::string& movie) {
             EXPECT_EQ(PictureInBars(movie), "192x192");
             EXPECT_NEAR(SoundBeyondPicture(movie), 0, 1.0 / 12);
         }},
        {"cut off by a failed download", ff + "testsrc2=s=320x240:d=8 -f lavfi -i sine=d=8" + h264 +
         " -c:a aac -movflags +faststart whole.mp4 && head -c $(($(stat -c %s whole.mp4) / 2)) "
         "whole.mp4 > a.mp4", "the source ends at 0:0"},
        {"a picture of 1x1", ff + "testsrc=s=1x1:d=2 -f lavfi -i sine=d=2 -c:v rawvideo"
         " -pix_fmt yuv420p -c:a pcm_s16le a.avi", ""},
        {"a picture of 2x2", ff + "testsrc=s=2x2:d=2 -f lavfi -i sine=d=2 -c:v rawvideo"
         " -pix_fmt yuv420p -c:a pcm_s16le a.avi", ""},
    };
    for (const Awkward& awkward : sources) {
        SCOPED_TRACE(awkward.name);
        TempDir dir;
        ASSERT_EQ(std::system(("cd " + dir.path() + " && " + awkward.make).c_str()), 0);
        const std::string made = awkward.make.substr(awkward.make.rfind(' ') + 1);
        const std::string source = dir.File(made);
        if (made == "a.ts") DamageSound(source);
        Converter converter(TestEncoderSetup(LocateEncoder()));
        const auto probe = converter.Probe(source, nullptr);
        ASSERT_TRUE(probe.has_value());
        for (const SourceDescription* known : {&*probe, static_cast<const SourceDescription*>(nullptr)}) {
            SCOPED_TRACE(known != nullptr ? "after a probe" : "without one");
            const std::string target = dir.File("a.d3v");
            Reports reports;
            const ConversionReport report = converter.Convert(Request(source, target), known, nullptr, reports);
            ASSERT_EQ(report.outcome, kConverted) << report.reason;
            EXPECT_TRUE(IsHandheldMovie(target));
            std::string notes;
            for (const std::string& note : report.notes) notes += note + "|";
            EXPECT_NE(notes.find(awkward.says), std::string::npos) << notes << report.reason;
            EXPECT_EQ(reports.descriptions, 1);
            // Without a duration the progress has no position, only the time converted.
            EXPECT_EQ(reports.positions == 0, !probe->durationHundredths.has_value());
            if (awkward.check) awkward.check(target);
            fs::remove(PathOf(target));
        }
    }
}

}  // namespace
}  // namespace vantrel

namespace vantrel {
namespace {

// Subtitles that were asked for and cannot be drawn stop the conversion
// before ffmpeg starts, saying why; nothing is written, and no copy of the
// subtitles is left.
TEST(SubtitleFaults, EachSaysWhyAndWritesNothing) {
    TempDir dir;
    const std::string source = dir.File("clip.mp4"), target = dir.File("clip.d3v");
    ASSERT_TRUE(MakeClip(source, 1));
    const struct {
        const char* name;
        std::string subtitleFile, font, says;
    } cases[] = {
        {"a subtitle file that is not there", dir.File("gone.srt"), LocateSubtitleFont(),
         "Cannot read the subtitles " + dir.File("gone.srt") + ": "},
        {"a subtitle file that is a folder", dir.path(), LocateSubtitleFont(),
         "Cannot read the subtitles " + dir.path() + ": "},
        {"no fallback font", source, dir.File("fonts/DejaVuSans.ttf"),
         "No font to draw the subtitles with: " + dir.File("fonts/DejaVuSans.ttf") + " is missing."},
    };
    WriteFile(dir.File("clip.srt"), "1\n00:00:00,000 --> 00:00:01,000\nHello\n");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EncoderSetup setup = TestEncoderSetup(LocateEncoder());
        setup.subtitleFont = c.font;
        Converter converter(setup);
        ConversionRequest request = Request(source, target);
        request.subtitles = {SubtitleMode::kFile, 0, c.subtitleFile == source ? dir.File("clip.srt")
                                                                              : c.subtitleFile};
        struct : EncoderReportSink {
            void SourceDescribed(const SourceDescription&) override {}
            void Progressed(const ProgressReport&) override {}
        } ignore;
        const ConversionReport report = converter.Convert(request, nullptr, nullptr, ignore);
        EXPECT_EQ(report.outcome, ConversionOutcome::kFailed);
        EXPECT_EQ(report.reason.rfind(c.says, 0), 0u) << report.reason;
        EXPECT_EQ(std::distance(fs::directory_iterator(PathOf(dir.path())), {}), 2) << "clip.mp4, clip.srt";
    }
}

}  // namespace
}  // namespace vantrel
