// The engine with the oldest, today's and the newest ffmpeg it is meant for,
// each started as the encoder: a user's upgrade must not break it.
#include <gtest/gtest.h>

#include <algorithm>

#include "conversion/converter.h"
#include "tests/support/test_support.h"

namespace vantrel {
namespace {

using namespace testing;

// Keeps the progress positions as the bar shows them: the last progress line
// may run past the duration (the sound's last packet), and the bar stops at
// its end. It signals `stop` at the first position past the start, which ends
// only a run that was given that signal.
struct Progress : EncoderReportSink {
    void SourceDescribed(const SourceDescription&) override {}
    void Progressed(const ProgressReport& progress) override {
        const int32_t position = progress.position.value_or(-1);
        positions.push_back(std::clamp(position, 0, 100000));
        if (position > 0) stop.Signal();
    }
    StopSignal stop;
    std::vector<int32_t> positions;
};

TEST(EncoderVersions, EachProbesConvertsAndStops) {
    // The 4.1 and 7.1 paths come from the build, which fetches them (scripts/fetch_encoders.sh).
    const std::pair<const char*, std::string> versions[] = {
        {"5.1, Debian 12", "/usr/bin/ffmpeg"}, {"4.1, static from npm", VANTREL_FFMPEG41},
        {"7.1, Debian 13 through chroot", VANTREL_FFMPEG71}};
    TempDir dir;
    const std::string source = dir.File("clip.mp4"), target = dir.File("clip.d3v");
    ASSERT_TRUE(MakeClip(source, 20));
    for (const auto& [version, encoder] : versions) {
        SCOPED_TRACE(version);
        ASSERT_TRUE(FileExists(encoder)) << encoder << " is missing: the fetch of it failed";
        Converter converter(TestEncoderSetup(encoder));
        const auto probe = converter.Probe(source, nullptr);
        ASSERT_TRUE(probe.has_value());
        const SourceDescription& got = *probe;
        EXPECT_EQ(got.duration + "|" + got.videoCodec + "|" + got.pictureSize + "|" + got.frameRate,
                  "00:00:20.00|h264 (Constrained Baseline)|640x480|25 fps");
        EXPECT_TRUE(got.bitrate.ends_with(" kb/s") && got.hasSound()) << got.bitrate;

        Progress converting, stopping;
        EXPECT_EQ(converter.Convert(Request(source, target), nullptr, nullptr, converting).outcome,
                  ConversionOutcome::kConverted);
        EXPECT_TRUE(IsHandheldMovie(target));
        EXPECT_TRUE(std::is_sorted(converting.positions.begin(), converting.positions.end()));
        EXPECT_TRUE(!converting.positions.empty() && converting.positions.back() == 100000);
        fs::remove(target);

        EXPECT_EQ(converter.Convert(Request(source, target), nullptr, &stopping.stop, stopping).outcome,
                  ConversionOutcome::kStopped);
        EXPECT_FALSE(FileExists(target) || FileExists(PartialTargetPath(target)));
        EXPECT_TRUE(ProcessesMentioning(dir.path()).empty() && ZombieChildren() == 0);
    }
}

}  // namespace
}  // namespace vantrel
