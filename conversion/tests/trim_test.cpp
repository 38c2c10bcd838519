// Part of a movie, with the oldest, today's and the newest ffmpeg: the part
// asked for, from its first frame, in sync, with subtitles on their words.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <sstream>
#include <vector>

#include "conversion/converter.h"
#include "conversion/trim.h"
#include "tests/support/test_support.h"

namespace vantrel {
namespace {

using namespace testing;

bool Ffmpeg(const std::string& words) {
    return std::system(("ffmpeg -nostdin -v error -y " + words).c_str()) == 0;
}

// The brightness (0..255) of each frame of the movie, by its moment: the
// average (YAVG) or the brightest pixel's (YMAX), of the part `crop` keeps.
// By the frames' timestamps, as ffmpeg's decoders differ in the rate they
// give a 12 fps movie.
struct Level {
    double seconds;
    double level;
};
std::vector<Level> Brightness(const std::string& movie, const std::string& key = "YAVG",
                              const std::string& crop = "null") {
    std::istringstream log(Output("ffmpeg -nostdin -hide_banner -i file:" + Quoted(movie) + " -an -vf \"" +
                                  crop + ",signalstats,metadata=print:key=lavfi.signalstats." + key +
                                  "\" -f null - 2>&1"));
    std::vector<Level> levels;
    double seconds = NAN;
    for (std::string line; std::getline(log, line);) {
        if (const size_t p = line.find("pts_time:"); p != std::string::npos) seconds = std::atof(line.c_str() + p + 9);
        if (const size_t p = line.find(key + "="); p != std::string::npos) {
            levels.push_back({seconds, std::atof(line.c_str() + p + key.size() + 1)});
        }
    }
    return levels;
}

// The level of the frame shown at `seconds`.
double LevelAt(const std::vector<Level>& levels, double seconds) {
    double level = NAN;
    for (const Level& frame : levels) {
        if (frame.seconds <= seconds + 1e-3) level = frame.level;
    }
    return level;
}

double Duration(const std::string& movie) {
    return std::atof(Output("ffprobe -v error -show_entries format=duration -of csv=p=0 file:" + Quoted(movie)).c_str());
}

// When the picture first turns white, in the movie's seconds.
double FirstFlash(const std::string& movie) {
    for (const Level& frame : Brightness(movie)) {
        if (frame.level > 200) return frame.seconds;
    }
    return NAN;
}

// The window shows a row's From and To as h:mm:ss, and reads back what it shows.
TEST(Trim, MomentsAreShownAsHoursMinutesAndSecondsAndReadBack) {
    for (const auto& [seconds, shown] : std::vector<std::pair<double, std::string>>{
             {0, "0:00:00"}, {90, "0:01:30"}, {3723.25, "1:02:03.25"}, {59.9996, "0:01:00"},
             {36000.001, "10:00:00.001"}, {-1, "0:00:00"}}) {
        EXPECT_EQ(MomentText(seconds), shown);
        EXPECT_NEAR(ParseMoment(shown).value_or(-1), std::max(seconds, 0.0), 0.0005) << shown;
    }
}

TEST(Trim, EachVersionConvertsThePartAskedForFromItsFirstFrameInSync) {
    TempDir dir;
    // Its brightness tells the moment: it climbs 200 levels a second, 8 a
    // source frame, from black at each whole second.
    const std::string ramp = dir.File("ramp.mp4");
    ASSERT_TRUE(Ffmpeg("-f lavfi -i \"color=black:s=320x240:r=25,geq=lum='16+200*mod(T\\,1)':cb=128:cr=128\""
                       " -f lavfi -i sine=f=300:r=48000 -t 12 -c:v libx264 -g 250 -preset ultrafast"
                       " -pix_fmt yuv420p -c:a aac file:" + Quoted(ramp)));
    // A white flash and a beep together, 2.5 s in.
    const std::string synced = dir.File("synced.mp4");
    ASSERT_TRUE(Ffmpeg("-f lavfi -i \"color=gray:s=320x240:r=25,drawbox=c=white:t=fill:enable='between(t\\,2.5\\,2.7)'\""
                       " -f lavfi -i \"aevalsrc='0.05*sin(2*PI*300*t)+0.5*between(t\\,2.5\\,2.7)*sin(2*PI*1000*t)'"
                       ":s=48000\" -t 5 -c:v libx264 -preset ultrafast -pix_fmt yuv420p -c:a aac file:" + Quoted(synced)));
    // Subtitles beside a black picture: one cue from 6 s to 7 s.
    const std::string subtitled = dir.File("subtitled.mp4");
    ASSERT_TRUE(Ffmpeg("-f lavfi -i color=black:s=320x240:r=25 -f lavfi -i sine -t 9 -c:v libx264"
                       " -preset ultrafast -pix_fmt yuv420p -c:a aac file:" + Quoted(subtitled)));
    WriteFile(dir.File("subtitled.srt"), "1\n00:00:06,000 --> 00:00:07,000\nHERE\n");

    const std::pair<const char*, std::string> versions[] = {
        {"5.1", "/usr/bin/ffmpeg"}, {"4.1", VANTREL_FFMPEG41}, {"7.1", VANTREL_FFMPEG71}};
    for (const auto& [version, encoder] : versions) {
        SCOPED_TRACE(version);
        Converter converter(TestEncoderSetup(encoder));
        IgnoreReports ignore;
        const auto convert = [&](const std::string& source, const std::string& name, Trim trim) {
            ConversionRequest request = Request(source, dir.File(name + version + ".d3v"));
            request.trim = trim;
            return converter.Convert(request, nullptr, nullptr, ignore);
        };
        // From between keyframes to before the end, to the end, and from
        // the beginning: the length within one frame of the movie, the first
        // frame the source's at the start within one of the source's.
        const struct {
            Trim trim;
            double length;
        } parts[] = {{{4.4, 7.2}, 2.8}, {{9.6, std::nullopt}, 2.4}, {{std::nullopt, 3.0}, 3.0}};
        for (const auto& part : parts) {
            SCOPED_TRACE(part.trim.StartSeconds());
            const ConversionReport report = convert(ramp, "ramp", part.trim);
            ASSERT_EQ(report.outcome, ConversionOutcome::kConverted) << report.reason;
            EXPECT_TRUE(IsHandheldMovie(report.target));
            EXPECT_NEAR(Duration(report.target), part.length, 1.0 / 12);
            const std::vector<Level> levels = Brightness(report.target);
            ASSERT_FALSE(levels.empty());
            EXPECT_NEAR(levels[0].seconds, 0, 1e-3);
            const double start = part.trim.StartSeconds();
            EXPECT_NEAR(levels[0].level, 16 + 200 * (start - std::floor(start)), 8 + 3);
        }
        // The flash and the beep move together: one frame of the movie and
        // one of the source's either way.
        const ConversionReport cut = convert(synced, "synced", {1.3, std::nullopt});
        ASSERT_EQ(cut.outcome, ConversionOutcome::kConverted) << cut.reason;
        EXPECT_NEAR(FirstBeep(cut.target, 0.1), 1.2, 0.1);
        EXPECT_NEAR(FirstFlash(cut.target) - FirstBeep(cut.target, 0.1), 0, 1.0 / 12 + 1.0 / 25);
        // The cue at 6 s shows 2 s into a movie from 4 s, and not before.
        const ConversionReport words = convert(subtitled, "subtitled", {4.0, 8.0});
        ASSERT_EQ(words.outcome, ConversionOutcome::kConverted) << words.reason;
        const std::vector<Level> bottom = Brightness(words.target, "YMAX", "crop=iw:ih/4:0:ih*3/4");
        EXPECT_LT(LevelAt(bottom, 1.0), 60) << "a second in";      // no words yet
        EXPECT_GT(LevelAt(bottom, 2.5), 150) << "2.5 seconds in";  // the cue's words
        EXPECT_LT(LevelAt(bottom, 3.5), 60) << "3.5 seconds in";   // gone again
        // A start past the movie's end refuses it, and leaves no file.
        const ConversionReport none = convert(synced, "late", {6.0, std::nullopt});
        EXPECT_EQ(none.outcome, ConversionOutcome::kFailed);
        EXPECT_EQ(none.reason, "the movie ends at 0:05, before the start at 0:06");
        EXPECT_FALSE(FileExists(none.target) || FileExists(PartialTargetPath(none.target)));
    }
}

}  // namespace
}  // namespace vantrel
