// Runs, outcomes and clean-up against the scriptable fake encoder.
#include "converter.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <future>
#include <string>

#include "messages.h"
#include "test_support.h"

namespace vantrel {
namespace {

using testing::FileExists;
using testing::FullChunk;
using testing::Repeat;
using testing::TestEncoderSetup;
using testing::ReadFile;
using testing::RecordingObserver;
using testing::TempDir;
using testing::WriteFile;

class FixedFreeSpace : public FreeSpaceSource {
public:
    explicit FixedFreeSpace(uint64_t bytes) : bytes_(bytes) {}
    std::optional<uint64_t> FreeBytes(const std::string&) const override { return bytes_; }

private:
    uint64_t bytes_;
};

const char kDurationLine[] = "say   Duration: 00:00:50.00, start: 0.000000, bitrate: 900 kb/s\\n\n";

class ConverterTest : public ::testing::Test {
protected:
    Converter MakeConverter(std::shared_ptr<const FreeSpaceSource> freeSpace = nullptr) {
        return MakeConverterFor(observer, std::move(freeSpace));
    }
    static Converter MakeConverterFor(RecordingObserver& reports,
                                      std::shared_ptr<const FreeSpaceSource> freeSpace = nullptr) {
        return Converter(TestEncoderSetup(FAKE_ENCODER_PATH, std::move(freeSpace)), reports);
    }

    ConversionRequest Request(const std::string& script, bool probe = false) {
        WriteFile(dir.File("source.avi"), script);
        return {dir.File("source.avi"), probe ? "" : dir.File("source.d3v")};
    }

    void ExpectNothingLeft() {
        EXPECT_TRUE(testing::ProcessesMentioning(dir.path()).empty());
        EXPECT_EQ(testing::ZombieChildren(), 0);
    }

    TempDir dir;
    RecordingObserver observer;
};

struct OutcomeCase {
    const char* name;
    std::string script;
    ConversionOutcome outcome;
    bool targetKept;
};

TEST_F(ConverterTest, OutcomesOfRunsThatEndByThemselves) {
    const OutcomeCase cases[] = {
        {"silent exit", "", kConversionFailed, false},
        {"zero-byte target", "target 0\n", kConversionFailed, false},
        {"target written", "say frame= time=00:00:01.00\\r\ntarget 4096\n", kConverted, true},
        {"non-zero exit after a partial target", "target 4096\nexit 1\n", kConversionFailed,
         false},
        {"crash mid-run", "target 4096\ncrash\n", kConversionFailed, false},
        {"disk full reported by ffmpeg",
         "target 4096\nsay av_interleaved_write_frame(): No space left on device\\n\nexit 1\n",
         kNotEnoughSpace, false},
        {"ten decoding failures are tolerated",
         Repeat(FullChunk("Error while decoding stream #0:0"), 10) + "target 10\n", kConverted,
         true},
        {"the eleventh ends the run",
         Repeat(FullChunk("[h264] frame decoding fail"), 11) + "target 10\nhang\n",
         kUndecodableSource, false},
        {"binary garbage and NULs", "target 10\ngarbage 100000\n", kConverted, true},
        {"a grandchild keeps the pipe open", "target 10\ngrandchild\n", kConverted, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Converter converter = MakeConverter();
        const ConversionRequest request = Request(c.script);
        std::remove(request.targetPath.c_str());
        EXPECT_EQ(converter.RunConversion(request, Converter::kConversionMode, nullptr), c.outcome);
        EXPECT_EQ(FileExists(request.targetPath), c.targetKept);
        EXPECT_TRUE(observer.Messages().empty());
        ExpectNothingLeft();
    }
}

TEST_F(ConverterTest, ProbeIgnoresTheEncodersFailureAndWritesNothing) {
    Converter converter = MakeConverter();
    const ConversionRequest probe =
        Request(std::string(kDurationLine) + "say : No such file or directory\\n\nexit 1\n", true);
    EXPECT_EQ(converter.RunConversion(probe, Converter::kProbeMode, nullptr), kConverted);
    EXPECT_EQ(converter.state().durationHundredths, 5000);
    EXPECT_EQ(observer.Text(PanelField::kBitrate), "900 kb/s");
    EXPECT_TRUE(observer.Posts().empty());  // a probe posts no progress
}

// A reader that falls behind (a busy machine) finds several of ffmpeg's lines
// in the pipe at once. Written here in one go, so the first 511-byte read ends
// inside the clock time of the duration and the next inside the stream line;
// both must still be read whole.
TEST_F(ConverterTest, LinesCutByAFullReadAreStillReadWhole) {
    Converter converter = MakeConverter();
    const std::string header = std::string(494, '#') + "\\n" +
                               "  Duration: 00:01:30.50, start: 0.000000, bitrate: 900 kb/s\\n" +
                               std::string(417, '#') + "\\n" +
                               "    Stream #0:0: Video: h264 (High), yuv420p, 640x480, 25 fps\\n";
    const ConversionRequest probe = Request("say " + header + "\nexit 1\n", true);
    EXPECT_EQ(converter.RunConversion(probe, Converter::kProbeMode, nullptr), kConverted);
    EXPECT_EQ(converter.state().durationHundredths, 9050);
    EXPECT_EQ(observer.Text(PanelField::kDuration), "00:01:30.50");
    EXPECT_EQ(observer.Text(PanelField::kVideoCodec), "h264 (High)");
    EXPECT_EQ(observer.Text(PanelField::kPictureSize), "640x480");
    EXPECT_EQ(observer.Text(PanelField::kFrameRate), "25 fps");
}

TEST_F(ConverterTest, ConversionPostsZeroFirstAndFullAtTheEnd) {
    Converter converter = MakeConverter();
    converter.state().progressEnabled = true;
    const ConversionRequest request =
        Request(FullChunk("  Duration: 00:00:50.00, start: 0.000000, bitrate: 900 kb/s") +
                "say frame= 1 time=00:00:25.00\\r\ntarget 10\n");
    EXPECT_EQ(converter.RunConversion(request, Converter::kConversionMode, nullptr), kConverted);
    EXPECT_EQ(observer.Posts(), (std::vector<int32_t>{0, 50000, 100000, 100000}));
}

TEST_F(ConverterTest, FullFileSystemStopsTheRun) {
    Converter converter = MakeConverter(std::make_shared<FixedFreeSpace>(0));
    const ConversionRequest request = Request("target 10\nsay frame= 1\\n\nhang\n");
    EXPECT_EQ(converter.RunConversion(request, Converter::kConversionMode, nullptr),
              kNotEnoughSpace);
    EXPECT_FALSE(FileExists(request.targetPath));
    ExpectNothingLeft();
}

TEST_F(ConverterTest, OneFreeByteIsNotFull) {
    Converter converter = MakeConverter(std::make_shared<FixedFreeSpace>(1));
    const ConversionRequest request = Request("say frame= 1\\n\ntarget 10\n");
    EXPECT_EQ(converter.RunConversion(request, Converter::kConversionMode, nullptr), kConverted);
}

// STOP must end the encoder at once whether it is talking, silent, or
// ignoring SIGTERM, and leave neither the process nor the partial target.
struct StopCase {
    const char* name;
    const char* script;
    bool waitForProgress;
};

TEST_F(ConverterTest, StopEndsTheEncoderAtOnce) {
    const StopCase cases[] = {
        {"while talking", "talk\n", true},
        {"while silent", "hang\n", false},
        {"ignoring SIGTERM", "ignore-term\nhang\n", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RecordingObserver reports;
        Converter converter = MakeConverterFor(reports);
        converter.state().progressEnabled = true;
        converter.state().durationHundredths = 5000;
        // The duration line comes after the target is made, so seeing it
        // means the encoder has reached its last command.
        const ConversionRequest request =
            Request("target 4096\n" +
                    FullChunk("  Duration: 00:00:50.00, start: 0.000000, bitrate: 900 kb/s") +
                    c.script);
        auto stop = std::make_shared<StopSignal>();
        auto run = std::async(std::launch::async, [&] {
            return converter.RunConversion(request, Converter::kConversionMode, stop);
        });
        // Wait until the encoder has reached its script's last line.
        ASSERT_TRUE(reports.WaitUntil([&] {
            return reports.Text(PanelField::kDuration) == "00:00:50.00" &&
                   (!c.waitForProgress || reports.Posts().size() > 1);
        }));
        ASSERT_TRUE(FileExists(request.targetPath));
        stop->Signal();
        EXPECT_EQ(run.get(), kStopped);
        EXPECT_FALSE(FileExists(request.targetPath));
        EXPECT_TRUE(reports.Messages().empty());
        ExpectNothingLeft();
    }
}

TEST_F(ConverterTest, StopRaisedBeforeTheRunEndsItAtTheStart) {
    Converter converter = MakeConverter();
    auto stop = std::make_shared<StopSignal>();
    stop->Signal();
    EXPECT_EQ(converter.RunConversion(Request("hang\n"), Converter::kConversionMode, stop),
              kStopped);
    ExpectNothingLeft();
}

TEST_F(ConverterTest, MissingEncoderIsReported) {
    for (const bool probe : {true, false}) {
        RecordingObserver local;
        Converter converter(TestEncoderSetup(dir.File("no-ffmpeg-here")), local);
        EXPECT_EQ(converter.RunConversion(Request("", probe),
                                          probe ? Converter::kProbeMode
                                                : Converter::kConversionMode,
                                          nullptr),
                  kNotCarriedOut);
        EXPECT_EQ(local.Messages(), std::vector<std::string>{kFailedToExecuteMessage});
    }
}

TEST_F(ConverterTest, AFailedRunKeepsATargetItNeverTouched) {
    Converter converter = MakeConverter();
    const ConversionRequest request = Request("exit 1\n");
    WriteFile(request.targetPath, "an earlier conversion");
    EXPECT_EQ(converter.RunConversion(request, Converter::kConversionMode, nullptr),
              kConversionFailed);
    EXPECT_EQ(ReadFile(request.targetPath), "an earlier conversion");
}

TEST_F(ConverterTest, EncoderReceivesTranslatedWordsAndTheChosenBitrate) {
    Converter converter = MakeConverter();
    converter.SetVideoBitrate(384);
    const ConversionRequest request = Request("args\ntarget 1\n");
    converter.RunConversion(request, Converter::kConversionMode, nullptr);
    const std::string args = ReadFile(request.sourcePath + ".args");
    EXPECT_NE(args.find("-b:v\n384k\n"), std::string::npos) << args;
    EXPECT_NE(args.find("\nfile:" + request.targetPath + "\n"), std::string::npos) << args;
}

// Peak resident memory of this process, in KiB.
long PeakResidentKiB() {
    const std::string status = ReadFile("/proc/self/status");
    const size_t at = status.find("VmHWM:");
    return at == std::string::npos ? -1 : std::atol(status.c_str() + at + 6);
}

class CountingObserver : public RunObserver {
public:
    void SetPanelText(PanelField, std::string_view) override {}
    void PostProgress(int32_t position) override {
        ++posts;
        if (position != 50000) ++unexpected;
    }
    void ShowMessage(std::string_view) override {}
    long posts = 0;
    long unexpected = 0;
};

TEST_F(ConverterTest, FloodOfOutputKeepsMemoryFlat) {
    CountingObserver counting;
    Converter converter(TestEncoderSetup(FAKE_ENCODER_PATH), counting);
    converter.state().progressEnabled = true;
    converter.state().durationHundredths = 1000;
    const long before = PeakResidentKiB();
    EXPECT_EQ(converter.RunConversion(Request("flood 100\ntarget 10\n"),
                                      Converter::kConversionMode, nullptr),
              kConverted);
    // 100 MB of progress lines went through; nothing of it may pile up, and
    // every report said 5 s of 10.
    EXPECT_LT(PeakResidentKiB() - before, 8 * 1024);
    EXPECT_GT(counting.posts, 10000);
    EXPECT_EQ(counting.unexpected, 3);  // the reset to 0 and the two 100 % at the end
}

TEST_F(ConverterTest, FirstRunForwardsConsoleInputToTheEncoder) {
    int console[2];
    ASSERT_EQ(::pipe(console), 0);
    const std::string typed = "  Duration: 00:00:07.00, start: 0.000000, bitrate: 1 kb/s\n";
    ASSERT_EQ(::write(console[1], typed.data(), typed.size()), static_cast<ssize_t>(typed.size()));
    EncoderSetup setup = TestEncoderSetup(FAKE_ENCODER_PATH);
    setup.consoleInputFd = console[0];
    Converter converter(std::move(setup), observer);
    EXPECT_EQ(converter.RunConversion(Request("echo-line\n", true), Converter::kProbeMode, nullptr),
              kConverted);
    EXPECT_EQ(converter.state().durationHundredths, 700);
    ::close(console[0]);
    ::close(console[1]);
}

}  // namespace
}  // namespace vantrel
