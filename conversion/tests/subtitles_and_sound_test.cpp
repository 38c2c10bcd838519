// Subtitles and sound, measured in what each ffmpeg the program is meant for
// makes of the same sources: which track is heard, which subtitles are drawn
// and where, how clear the dialogue stays and how loud the movie is.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "conversion/converter.h"
#include "tests/support/test_support.h"

namespace vantrel {
namespace {

using namespace testing;

const std::pair<const char*, std::string> kVersions[] = {
    {"5.1, Debian 12", "/usr/bin/ffmpeg"},
    {"4.1, static from npm", VANTREL_FFMPEG41},
    {"7.1, Debian 13 through chroot", VANTREL_FFMPEG71}};

// Makes a file with Debian's ffmpeg; false, with its words, when it could not.
::testing::AssertionResult Made(const std::string& arguments, const std::string& file) {
    const std::string log = Output("ffmpeg -nostdin -v error -y " + arguments + " file:" + Quoted(file) + " 2>&1");
    if (FileExists(file)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "could not make " << file << ": " << log;
}

// Pixels of the frame at `seconds` that are nearly white, in lines [from, to)
// of the player's 192: subtitles are drawn in white, and the test pictures
// have no white there.
int WhitePixels(const std::string& movie, double seconds, int from, int to) {
    const std::string gray = Output("ffmpeg -nostdin -v error -ss " + std::to_string(seconds) +
                                    " -i file:" + Quoted(movie) +
                                    " -frames:v 1 -f rawvideo -pix_fmt gray -");
    int white = 0;
    for (int line = from; line < to; ++line) {
        for (int x = 0; x < 256; ++x) {
            const size_t at = static_cast<size_t>(line * 256 + x);
            white += at < gray.size() && static_cast<unsigned char>(gray[at]) > 200;
        }
    }
    return white;
}

// Integrated loudness (LUFS) and true peak (dBTP) of the movie's sound.
std::pair<double, double> Loudness(const std::string& movie) {
    const std::string log = Output("ffmpeg -nostdin -i file:" + Quoted(movie) +
                                   " -map 0:a -af ebur128=peak=true -f null - 2>&1");
    double integrated = NAN, peak = NAN;
    if (const size_t at = log.rfind(" I: "); at != std::string::npos)
        integrated = std::atof(log.c_str() + at + 4);
    if (const size_t at = log.rfind("Peak:"); at != std::string::npos)
        peak = std::atof(log.c_str() + at + 5);
    return {integrated, peak};
}

// How far above the whole the sound at 1 kHz stands, in dB.
double ToneShare(const std::string& movie) {
    const auto mean = [&](const std::string& filter) {
        const std::string log = Output("ffmpeg -nostdin -i file:" + Quoted(movie) + " -map 0:a -af " +
                                       filter + "volumedetect -f null - 2>&1");
        const size_t at = log.rfind("mean_volume:");
        return at == std::string::npos ? NAN : std::atof(log.c_str() + at + 12);
    };
    return mean("bandpass=f=1000:width_type=q:w=8,") - mean("");
}

// A Blu-ray subtitle stream (PGS) for a picture of `width` x `height`: one
// white box, `box` lines high over the middle two thirds, `boxTop` lines
// from the top, shown from 1 s to 3 s. ffmpeg can decode such pictures but
// cannot make them from text, so they are written here byte by byte.
std::string PgsSubtitles(int width, int height, int boxTop, int box) {
    std::string out;
    const auto u8 = [&](int v) { out += static_cast<char>(v & 0xff); };
    const auto u16 = [&](int v) { u8(v >> 8), u8(v); };
    const auto segment = [&](double seconds, int type, const std::string& body) {
        const auto pts = static_cast<uint32_t>(seconds * 90000);
        out += "PG";
        for (int shift = 24; shift >= 0; shift -= 8) u8(static_cast<int>(pts >> shift));
        for (int i = 0; i < 4; ++i) u8(0);
        u8(type), u16(static_cast<int>(body.size()));
        out += body;
    };
    const auto bytes = [](std::initializer_list<int> values) {
        std::string b;
        for (const int v : values) b += static_cast<char>(v & 0xff);
        return b;
    };
    const int boxWidth = width * 2 / 3, boxLeft = width / 6;
    const std::string window = bytes({1, 0, boxLeft >> 8, boxLeft, boxTop >> 8, boxTop,
                                      boxWidth >> 8, boxWidth, box >> 8, box});
    // Each line: one run of colour 1 as long as the box, then the line's end.
    std::string lines;
    for (int line = 0; line < box; ++line) {
        lines += bytes({0, 0xC0 | (boxWidth >> 8), boxWidth, 1, 0, 0});
    }
    const int dataLength = static_cast<int>(lines.size()) + 4;
    // Shown: a composition with one object, its window, a palette of opaque
    // white, the object, and the display set's end.
    segment(1.0, 0x16, bytes({width >> 8, width, height >> 8, height, 0x10, 0, 0, 0x80, 0, 0, 1,
                              0, 0, 0, 0, boxLeft >> 8, boxLeft, boxTop >> 8, boxTop}));
    segment(1.0, 0x17, window);
    segment(1.0, 0x14, bytes({0, 0, 1, 235, 128, 128, 255}));
    segment(1.0, 0x15, bytes({0, 0, 0, 0xC0, dataLength >> 16, dataLength >> 8, dataLength,
                              boxWidth >> 8, boxWidth, box >> 8, box}) + lines);
    segment(1.0, 0x80, "");
    // Taken away: a composition with no object.
    segment(3.0, 0x16, bytes({width >> 8, width, height >> 8, height, 0x10, 0, 1, 0, 0, 0, 0}));
    segment(3.0, 0x17, window);
    segment(3.0, 0x80, "");
    return out;
}

// The subtitles of every source here: one cue from 1 s to 3 s.
const char* const kCue = "1\r\n00:00:01,000 --> 00:00:03,000\r\nCaf\xe9 cr\xe8me, na\xefve\r\n";
constexpr double kDuringCue = 2.0, kAfterCue = 5.0;
// Under Fit a 16:9 picture leaves a bar of 24 lines at the bottom.
constexpr int kBottomBar = 192 - 24;

struct Sources {
    TempDir dir;
    std::string tracks, named, centre, quiet, loud, peaky, pictures;
};

// The sources, made once: the file names of `named` hold every character a
// filter graph reads as its own.
const Sources& MadeSources() {
    static Sources* sources = [] {
        auto* s = new Sources;
        // A test picture dimmed, so that nothing in it is as white as subtitles.
        const std::string picture = "-f lavfi -i 'testsrc2=s=640x360:r=25:d=7,lutyuv=y=val*0.6' ";
        // Three sound tracks, English first, the German one flagged default,
        // then a German commentary; a German subtitle track flagged forced.
        WriteFile(s->dir.File("forced.srt"), "1\n00:00:01,000 --> 00:00:03,000\nNUR DIES\n");
        s->tracks = s->dir.File("tracks.mkv");
        EXPECT_TRUE(Made(picture + "-f lavfi -i sine=f=440:d=7 -f lavfi -i sine=f=880:d=7 "
                                   "-f lavfi -i sine=f=1320:d=7 -i " + Quoted(s->dir.File("forced.srt")) +
                                   " -map 0 -map 1 -map 2 -map 3 -map 4 -c:v libx264 -c:a aac -c:s srt "
                                   "-metadata:s:a:0 language=eng -metadata:s:a:1 language=ger "
                                   "-metadata:s:a:2 language=ger -metadata:s:a:2 title=Kommentar "
                                   "-metadata:s:s:0 language=ger -disposition:a:0 0 "
                                   "-disposition:a:1 default -disposition:a:2 comment "
                                   "-disposition:s:0 forced",
                         s->tracks));
        const std::string name = "Film: Teil 1 [2020], 'Final Cut'; a=b";
        s->named = s->dir.File(name + ".mp4");
        EXPECT_TRUE(Made(picture + "-f lavfi -i sine=f=440:d=7 -c:v libx264 -c:a aac", s->named));
        WriteFile(s->dir.File(name + ".srt"), kCue);  // in Windows-1252
        // Speech stands for a tone in the centre; effects for noise around it.
        s->centre = s->dir.File("centre.mkv");
        EXPECT_TRUE(Made(picture +
                             "-f lavfi -i sine=f=1000:d=7 -f lavfi -i anoisesrc=c=pink:d=7:a=0.3 "
                             "-filter_complex \"[2]asplit=5[n1][n2][n3][n4][n5];"
                             "[n1][n2][1][n3][n4][n5]join=inputs=6:channel_layout=5.1(side):"
                             "map=0.0-FL|1.0-FR|2.0-FC|3.0-LFE|4.0-SL|5.0-SR[s]\" "
                             "-map 0 -map [s] -c:v libx264 -c:a flac",
                         s->centre));
        // Picture subtitles: a box over lines 270 to 330 of the 360. ffmpeg
        // starts each input at 0, so in the film the box shows from 0 to 2 s.
        // A key frame each second, where a seek lands.
        WriteFile(s->dir.File("box.sup"), PgsSubtitles(640, 360, 270, 60));
        s->pictures = s->dir.File("pictures.mkv");
        EXPECT_TRUE(Made(picture + "-f lavfi -i sine=f=440:d=7 -i " + Quoted(s->dir.File("box.sup")) +
                             " -map 0 -map 1 -map 2 -c:v libx264 -g 25 -c:a aac -c:s copy "
                             "-disposition:s:0 forced",
                         s->pictures));
        const std::string noise = "-f lavfi -i anoisesrc=c=pink:d=7:a=";
        s->quiet = s->dir.File("quiet.mkv");
        s->loud = s->dir.File("loud.mkv");
        EXPECT_TRUE(Made(picture + noise + "0.1 -c:v libx264 -c:a flac", s->quiet));
        EXPECT_TRUE(Made(picture + noise + "0.9 -af volume=8dB,alimiter=limit=0.99 -c:v libx264 -c:a flac",
                         s->loud));
        // Quiet, with clicks at full scale: raising it to the loudness wanted
        // would lift them far above the ceiling.
        s->peaky = s->dir.File("peaky.mkv");
        EXPECT_TRUE(Made(picture + noise + "0.1 -f lavfi -i 'aevalsrc=0.9*lt(mod(t\\,2)\\,0.0001):d=7:s=48000' "
                                           "-filter_complex '[1][2]amix=inputs=2:normalize=0' "
                                           "-c:v libx264 -c:a flac",
                         s->peaky));
        return s;
    }();
    return *sources;
}

TEST(SubtitlesAndSound, EachVersionHearsTheTrackAndDrawsTheSubtitlesAsChosen) {
    struct Row {
        const char* name;
        std::function<std::string(const Sources&)> source;
        std::function<void(ConversionRequest&)> choose;
        std::function<void(const std::string& movie)> check;
    };
    const auto tracks = [](const Sources& s) { return s.tracks; };
    const auto hears = [](double hertz) {
        return [hertz](const std::string& movie) { EXPECT_NEAR(SoundFrequency(movie), hertz, 25); };
    };
    const auto language = [](const char* code) {
        return [code](ConversionRequest& r) { r.preferredLanguage = code; };
    };
    const auto subtitledInTheBar = [](const std::string& movie) {
        EXPECT_GT(WhitePixels(movie, kDuringCue, kBottomBar, 192), 40);
        EXPECT_EQ(WhitePixels(movie, kDuringCue, 0, kBottomBar - 8), 0);
        EXPECT_EQ(WhitePixels(movie, kAfterCue, 0, 192), 0);
    };
    const Row rows[] = {
        {"German preferred: the German track", tracks, language("de"), hears(880)},
        {"English preferred, as eng: the English track", tracks, language("en"), hears(440)},
        {"French preferred: none, so the default; never the commentary", tracks, language("fra"),
         hears(880)},
        {"the commentary picked by hand", tracks,
         [](ConversionRequest& r) { r.soundTrack = 2; }, hears(1320)},
        {"Auto draws the forced track, in the bottom bar", tracks, language("de"), subtitledInTheBar},
        {"Off draws none", tracks, [](ConversionRequest& r) { r.subtitles.mode = SubtitleMode::kOff; },
         [](const std::string& movie) { EXPECT_EQ(WhitePixels(movie, kDuringCue, 0, 192), 0); }},
        {"Auto draws the Windows-1252 file beside a source named with : , ' [ ] ; =",
         [](const Sources& s) { return s.named; }, language("en"), subtitledInTheBar},
        {"picture subtitles keep their place on the picture, scaled with it",
         [](const Sources& s) { return s.pictures; }, [](ConversionRequest&) {},
         [](const std::string& movie) {
             // Lines 270 to 330 of 360 are 132 to 156 of the 144 shown from line 24.
             EXPECT_GT(WhitePixels(movie, kDuringCue, 24 + 110, 24 + 130), 1000);
             EXPECT_EQ(WhitePixels(movie, kDuringCue, 0, 24 + 100), 0);
             EXPECT_EQ(WhitePixels(movie, kAfterCue, 0, 192), 0);
         }},
        {"dialogue in the centre stands well above a plain fold's",
         [](const Sources& s) { return s.centre; }, [](ConversionRequest&) {},
         [](const std::string& movie) {
             const std::string plain = movie + ".plain.mka";
             ASSERT_TRUE(Made("-i file:" + Quoted(MadeSources().centre) + " -map 0:a -ac 1", plain));
             EXPECT_GT(ToneShare(movie), ToneShare(plain) + 3.0);
         }},
    };
    const Sources& sources = MadeSources();
    for (const auto& [version, encoder] : kVersions) {
        Converter converter(TestEncoderSetup(encoder));
        for (const Row& row : rows) {
            SCOPED_TRACE(std::string(version) + ": " + row.name);
            ConversionRequest request = Request(row.source(sources), sources.dir.File("out.d3v"));
            row.choose(request);
            IgnoreReports ignore;
            const ConversionReport report = converter.Convert(request, nullptr, nullptr, ignore);
            ASSERT_EQ(report.outcome, ConversionOutcome::kConverted) << report.reason;
            // Measured on the track converted, though nobody described the
            // source first: the meter starts on the first and learns.
            for (const std::string& note : report.notes) EXPECT_EQ(note.find("loudness"), std::string::npos) << note;
            row.check(request.targetPath);
            fs::remove(PathOf(request.targetPath));
        }
        EXPECT_TRUE(ProcessesMentioning(sources.dir.path()).empty() && ZombieChildren() == 0);
        // The subtitles' UTF-8 copy is gone with the conversion.
        for (const auto& entry : fs::directory_iterator(PathOf(sources.dir.path()))) {
            EXPECT_EQ(entry.path().string().find(".part"), std::string::npos) << entry.path();
        }
    }
}

// The preview of a moment in a cue has its subtitles, text or pictures,
// though ffmpeg seeks to it: a picture subtitle's cue is one packet where it
// begins.
TEST(SubtitlesAndSound, EachVersionPreviewsTheSubtitlesOfItsMoment) {
    const Sources& sources = MadeSources();
    const struct {
        const char* name;
        std::string source;
        double at;
        int from, to;  // lines the subtitles are drawn in
    } cases[] = {
        {"the forced text track, at 2.0 of its 1 to 3 s", sources.tracks, 2.0, kBottomBar, 192},
        {"the picture subtitles, at 1.5 of their 0 to 2 s", sources.pictures, 1.5, 24 + 110, 24 + 130},
    };
    for (const auto& [version, encoder] : kVersions) {
        Converter converter(TestEncoderSetup(encoder));
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(version) + ": " + c.name);
            const auto probe = converter.Probe(c.source, nullptr);
            ASSERT_TRUE(probe.has_value());
            const std::string png = sources.dir.File("preview.png");
            const Expected<void> made = converter.Preview(Request(c.source, sources.dir.File("x.d3v")),
                                                          *probe, c.at, PreviewImage::kPng, png, nullptr);
            ASSERT_TRUE(made) << made.reason();
            EXPECT_GT(WhitePixels(png, 0, c.from, c.to), 40);
            EXPECT_FALSE(FileExists(png + ".srt"));
        }
    }
}

// Quiet (-35 LUFS), loud (-9) and quiet with clicks at full scale (-34, with
// its true peak at +0.2 dBTP). The clicks are what the limiter takes down,
// and with them the little loudness they had.
TEST(SubtitlesAndSound, EachVersionBringsAQuietAndALoudSourceToASmallSpeakersLoudness) {
    const Sources& sources = MadeSources();
    for (const std::string& source : {sources.quiet, sources.loud, sources.peaky}) {
        const auto [before, beforePeak] = Loudness(source);
        SCOPED_TRACE(source + " at " + std::to_string(before) + " LUFS");
        for (const auto& [version, encoder] : kVersions) {
            SCOPED_TRACE(version);
            Converter converter(TestEncoderSetup(encoder));
            const ConversionRequest request = Request(source, sources.dir.File("out.d3v"));
            IgnoreReports ignore;
            ASSERT_EQ(converter.Convert(request, nullptr, nullptr, ignore).outcome,
                      ConversionOutcome::kConverted);
            const auto [integrated, peak] = Loudness(request.targetPath);
            EXPECT_NEAR(integrated, -16.0, source == sources.peaky ? 2.0 : 1.5);
            EXPECT_LT(peak, -1.5) << "dBTP";
            std::printf("%s, %s: %.1f LUFS, %.1f dBTP\n", version, source.c_str(), integrated, peak);
        }
    }
}

}  // namespace
}  // namespace vantrel
