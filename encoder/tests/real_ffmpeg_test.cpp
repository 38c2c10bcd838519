// The engine against Debian's real ffmpeg, on clips generated here.
#include <gtest/gtest.h>

#include <sys/mount.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <future>
#include <string>

#include "converter.h"
#include "encoder_location.h"
#include "program_folder.h"
#include "test_support.h"

namespace vantrel {
namespace {

using testing::FileExists;
using testing::RecordingObserver;
using testing::TempDir;


void MakeClip(const std::string& path, int seconds) {
    ASSERT_TRUE(testing::MakeClip(path, seconds)) << path;
}

class RealFfmpegTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(FindOnPath("ffmpeg").empty()) << "ffmpeg is not installed";
    }
    Converter MakeConverter() {
        return Converter(testing::TestEncoderSetup(LocateEncoder()), observer);
    }

    TempDir dir;
    RecordingObserver observer;
};

TEST_F(RealFfmpegTest, ProbeThenConvertMakesTheHandheldFormat) {
    // Blanks, quotes, a leading dash and a non-ASCII letter in the name.
    const std::string source = dir.File("-My \"Trip\" été.mp4");
    MakeClip(source, 4);
    Converter converter = MakeConverter();

    EXPECT_EQ(converter.RunConversion({source, ""}, Converter::kProbeMode, nullptr), kConverted);
    EXPECT_EQ(converter.state().durationHundredths, 400);
    EXPECT_EQ(observer.Text(PanelField::kDuration), "00:00:04.00");
    EXPECT_EQ(observer.Text(PanelField::kVideoCodec).rfind("h264 (", 0), 0u)
        << observer.Text(PanelField::kVideoCodec);
    EXPECT_EQ(observer.Text(PanelField::kPictureSize), "640x480");
    EXPECT_EQ(observer.Text(PanelField::kFrameRate), "25 fps");
    EXPECT_TRUE(observer.Messages().empty());

    converter.state().progressEnabled = true;
    const std::string target = dir.File("-my \"trip\" été.d3v");
    EXPECT_EQ(converter.RunConversion({source, target}, Converter::kConversionMode, nullptr),
              kConverted);
    EXPECT_EQ(observer.Posts().back(), 100000);

    EXPECT_TRUE(vantrel::testing::IsHandheldMovie(target));
}

TEST_F(RealFfmpegTest, StopInMidRunRemovesThePartialTarget) {
    const std::string source = dir.File("long.mp4");
    MakeClip(source, 60);
    Converter converter = MakeConverter();
    ASSERT_EQ(converter.RunConversion({source, ""}, Converter::kProbeMode, nullptr), kConverted);
    converter.state().progressEnabled = true;
    const std::string target = dir.File("long.d3v");
    auto stop = std::make_shared<StopSignal>();
    auto run = std::async(std::launch::async, [&] {
        return converter.RunConversion({source, target}, Converter::kConversionMode, stop);
    });
    ASSERT_TRUE(observer.WaitUntil([&] { return observer.Posts().size() > 1; }));
    stop->Signal();
    EXPECT_EQ(run.get(), kStopped);
    EXPECT_FALSE(FileExists(target));
    EXPECT_TRUE(testing::ProcessesMentioning(dir.path()).empty());
}

TEST_F(RealFfmpegTest, SourceThatIsNotAMovieFailsCleanly) {
    const std::string source = dir.File("notes.avi");
    testing::WriteFile(source, "this is a text file, not a movie\n");
    Converter converter = MakeConverter();
    EXPECT_EQ(converter.RunConversion({source, ""}, Converter::kProbeMode, nullptr), kConverted);
    EXPECT_EQ(converter.state().durationHundredths, 0);
    const std::string target = dir.File("notes.d3v");
    EXPECT_EQ(converter.RunConversion({source, target}, Converter::kConversionMode, nullptr),
              kConversionFailed);
    EXPECT_FALSE(FileExists(target));
}

// A real full file system: a 256 KiB tmpfs. Mounting needs root.
TEST_F(RealFfmpegTest, FullFileSystemEndsInNotEnoughSpaceAndLeavesNoFile) {
    const std::string mountPoint = dir.File("small");
    ASSERT_EQ(::mkdir(mountPoint.c_str(), 0755), 0);
    if (::mount("tmpfs", mountPoint.c_str(), "tmpfs", 0, "size=256k") != 0) {
        GTEST_SKIP() << "cannot mount a tmpfs here (needs root): " << std::strerror(errno);
    }
    const std::string source = dir.File("clip.mp4");
    MakeClip(source, 30);
    Converter converter = MakeConverter();
    ASSERT_EQ(converter.RunConversion({source, ""}, Converter::kProbeMode, nullptr), kConverted);
    const std::string target = mountPoint + "/clip.d3v";
    const ConversionOutcome outcome =
        converter.RunConversion({source, target}, Converter::kConversionMode, nullptr);
    const bool left = FileExists(target);
    ::umount2(mountPoint.c_str(), MNT_DETACH);
    EXPECT_EQ(outcome, kNotEnoughSpace);
    EXPECT_FALSE(left);
}

}  // namespace
}  // namespace vantrel
