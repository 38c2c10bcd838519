// Each kind of source people convert, made as its makers make it, through the
// work chosen for its kind, with the oldest, today's and the newest ffmpeg:
// a valid movie, the right picture in the right shape, the sound in sync.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <sstream>

#include "conversion/converter.h"
#include "tests/support/test_support.h"

namespace vantrel {
namespace {

using namespace testing;

// A 16:9 picture that moves, white for a sixth of a second from 1 s on, with
// a tone that beeps at the same moment; FORMAT is what the maker adds.
bool MakeSource(const std::string& path, const std::string& size, const std::string& rate,
                const std::string& format) {
    const std::string flash = "drawbox=c=white:t=fill:enable='between(t\\,1\\,1.1666)'";
    const std::string beep = "aevalsrc='0.05*sin(2*PI*300*t)+0.5*between(t\\,1\\,1.1666)*sin(2*PI*1000*t)':s=48000:c=stereo";
    return std::system(("ffmpeg -nostdin -v error -y -f lavfi -i \"testsrc2=size=" + size + ":rate=" + rate +
                        "," + flash + "\" -f lavfi -i \"" + beep + "\" -t 3 " + format + " file:" +
                        Quoted(path))
                           .c_str()) == 0;
}

// When the picture first turns white, on ffmpeg's timeline of the file:
// the moment (s) and the frame's number, its picture made by `pictureChain`.
struct Flash {
    double seconds = NAN;
    int frame = -1;
};
Flash FirstFlash(const std::string& movie, const std::string& pictureChain = "null") {
    std::istringstream log(Output("ffmpeg -nostdin -hide_banner -i file:" + Quoted(movie) + " -an -vf \"" +
                                  pictureChain + ",signalstats,metadata=print:key=lavfi.signalstats.YAVG\""
                                  " -f null - 2>&1"));
    Flash flash;
    for (std::string line; std::getline(log, line);) {
        if (const size_t p = line.find("pts_time:"); p != std::string::npos) {
            flash.seconds = std::atof(line.c_str() + p + 9);
            ++flash.frame;
        }
        if (const size_t p = line.find("YAVG="); p != std::string::npos && std::atof(line.c_str() + p + 5) > 150) return flash;
    }
    return {};
}
// PSNR of the movie's picture against the source's frames as a plain ffmpeg
// run shows them at 12 fps in the player's frame, deinterlaced and kept
// whole on black bars, the two lined up on the flash: low when the picture is
// squeezed, shifted or another moment's.
double PictureMatch(const std::string& movie, const std::string& source) {
    const std::string reference =
        "bwdif=deint=interlaced,fps=12,scale=256:144:flags=lanczos,pad=256:192:0:24,setsar=1";
    const int a = FirstFlash(movie).frame, b = FirstFlash(source, reference).frame;
    if (a < 0 || b < 0) return 0;
    const auto from = [](int frame) { return "trim=start_frame=" + std::to_string(frame) + ",setpts=N/(12*TB)"; };
    const std::string log = Output("ffmpeg -nostdin -hide_banner -i file:" + Quoted(movie) + " -i file:" +
                                   Quoted(source) + " -lavfi \"[0:v]" + from(a - std::min(a, b)) + "[a];[1:v]" +
                                   reference + "," + from(b - std::min(a, b)) + "[b];[a][b]psnr=shortest=1\"" +
                                   " -f null - 2>&1");
    const size_t at = log.find("average:");
    return at == std::string::npos ? 0 : std::atof(log.c_str() + at + 8);
}

TEST(SourceKinds, EachVersionConvertsEachKindWithItsPictureAndSoundInSync) {
    const struct {
        const char* kind;
        const char* file;
        const char* size;
        const char* rate;
        const char* format;
    } kinds[] = {
        // Decoded at half size, its fields merged.
        {"DVD", "dvd.vob", "720x480", "30000/1001",
         "-vf tinterlace=mode=interleave_top,setfield=tff -r 30000/1001 -c:v mpeg2video -flags +ilme+ildct "
         "-top 1 -b:v 6M -aspect 16:9 -c:a ac3 -f vob"},
        {"DivX", "divx.avi", "640x360", "24000/1001", "-c:v mpeg4 -vtag XVID -bf 1 -c:a libmp3lame"},
        {"camera", "camera.avi", "1280x720", "30", "-c:v mjpeg -q:v 3 -pix_fmt yuvj420p -c:a pcm_s16le"},
        // The frames no other refers to left undecoded.
        {"h264", "film.mp4", "640x360", "30", "-c:v libx264 -preset veryfast -c:a aac"},
        {"phone", "phone.mp4", "640x360", "60",
         "-c:v libx265 -preset ultrafast -x265-params log-level=error -tag:v hvc1 -c:a aac"},
        {"WebM", "clip.webm", "640x360", "30", "-c:v libvpx-vp9 -deadline realtime -cpu-used 8 -c:a libopus"},
    };
    const std::pair<const char*, std::string> versions[] = {
        {"5.1", "/usr/bin/ffmpeg"}, {"4.1", VANTREL_FFMPEG41}, {"7.1", VANTREL_FFMPEG71}};
    TempDir dir;
    for (const auto& kind : kinds) {
        SCOPED_TRACE(kind.kind);
        const std::string source = dir.File(kind.file);
        // The DVD is made at twice its rate, then woven into fields.
        const std::string rate = std::string(kind.kind) == "DVD" ? "60000/1001" : kind.rate;
        ASSERT_TRUE(MakeSource(source, kind.size, rate, kind.format));
        const double sourceOffset = FirstFlash(source).seconds - FirstBeep(source, 0.3);
        for (const auto& [version, encoder] : versions) {
            SCOPED_TRACE(version);
            const std::string target = dir.File(std::string(kind.kind) + version + ".d3v");
            Converter converter(TestEncoderSetup(encoder));
            IgnoreReports ignore;
            const ConversionReport report = converter.Convert(Request(source, target), nullptr, nullptr, ignore);
            ASSERT_EQ(report.outcome, ConversionOutcome::kConverted) << report.reason;
            EXPECT_TRUE(IsHandheldMovie(target));
            EXPECT_GT(PictureMatch(target, source), 24.0);
            // One frame at 12 fps and one of the source's either way.
            EXPECT_NEAR(FirstFlash(target).seconds - FirstBeep(target, 0.3), sourceOffset, 1.0 / 12 + 1.0 / 24);
        }
    }
}

}  // namespace
}  // namespace vantrel
