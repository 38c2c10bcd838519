// What the probe and the conversion make of every way ffmpeg can behave,
// played by the scriptable fake encoder.
#include <gtest/gtest.h>

#include <future>
#include <mutex>
#include <string>
#include <vector>

#include "converter.h"
#include "test_support.h"

namespace vantrel {
namespace {

using testing::FileExists;
using testing::ReadFile;
using testing::RecordingObserver;
using testing::Repeat;
using testing::WriteFile;

// A file system that is full, or has room, and remembers where it was asked.
class FixedFreeSpace : public FreeSpaceSource {
public:
    explicit FixedFreeSpace(uint64_t bytes) : bytes_(bytes) {}
    std::optional<uint64_t> FreeBytes(const std::string& folder) const override {
        std::lock_guard<std::mutex> lock(mutex_);
        asked_.push_back(folder);
        return bytes_;
    }
    std::vector<std::string> Asked() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return asked_;
    }

private:
    uint64_t bytes_;
    mutable std::mutex mutex_;
    mutable std::vector<std::string> asked_;
};

constexpr char kDuration[] = "say   Duration: 00:00:50.00, start: 0.000000, bitrate: 900 kb/s\\n\n";
constexpr char kDecodeError[] = "say [h264 @ 0x1] Error while decoding stream #0:0\\n\n";

enum class Run { kProbe, kConvert, kConvertThenStop };

struct FaultCase {
    const char* name;
    std::string script;
    Run run;
    ConversionOutcome outcome;
    bool targetKept = false;
    uint64_t freeBytes = 1 << 30;
};

TEST(EncoderFaults, EveryEndOfARunGivesItsOutcomeAndLeavesNothingBehind) {
    const FaultCase cases[] = {
        {"probe: ffmpeg fails for want of an output", std::string(kDuration) + "exit 1\n",
         Run::kProbe, kConverted},
        {"probe: no duration reported", "say Input #0, avi\\n\nexit 1\n", Run::kProbe,
         kUndecodableSource},
        {"probe: a full disk elsewhere is no concern", std::string(kDuration) + "exit 1\n",
         Run::kProbe, kConverted, false, 0},
        {"silent exit", "", Run::kConvert, kConversionFailed},
        {"zero-byte target", "target 0\n", Run::kConvert, kConversionFailed},
        {"target written", "say frame= 1 time=00:00:01.00\\r\ntarget 4096\n", Run::kConvert,
         kConverted, true},
        {"non-zero exit after a partial target", "target 4096\nexit 1\n", Run::kConvert,
         kConversionFailed},
        {"crash mid-run", "target 4096\ncrash\n", Run::kConvert, kConversionFailed},
        {"ffmpeg reports the disk full",
         "target 4096\nsay av_interleaved_write_frame(): No space left on device\\n\nexit 1\n",
         Run::kConvert, kNotEnoughSpace},
        {"the target's file system fills up", "target 10\nsay frame= 1\\n\nhang\n", Run::kConvert,
         kNotEnoughSpace, false, 0},
        {"one free byte is not full", "say frame= 1\\n\ntarget 10\n", Run::kConvert, kConverted,
         true, 1},
        {"ten decoding failures are tolerated", Repeat(kDecodeError, 10) + "target 10\n",
         Run::kConvert, kConverted, true},
        {"the eleventh ends the run", "target 10\n" + Repeat(kDecodeError, 11) + "hang\n",
         Run::kConvert, kUndecodableSource},
        {"binary garbage and NULs", "target 10\ngarbage 100000\n", Run::kConvert, kConverted, true},
        {"a grandchild keeps the pipe open", "target 10\ngrandchild\n", Run::kConvert, kConverted,
         true},
        {"stop while talking", "target 4096\n" + std::string(kDuration) + "talk\n",
         Run::kConvertThenStop, kStopped},
        {"stop while silent", "target 4096\n" + std::string(kDuration) + "hang\n",
         Run::kConvertThenStop, kStopped},
        {"stop while ignoring SIGTERM",
         "target 4096\n" + std::string(kDuration) + "ignore-term\nhang\n", Run::kConvertThenStop,
         kStopped},
    };
    for (const FaultCase& c : cases) {
        SCOPED_TRACE(c.name);
        testing::TempDir dir;
        const std::string source = dir.File("source.avi"), target = dir.File("source.d3v");
        WriteFile(source, c.script);
        auto freeSpace = std::make_shared<FixedFreeSpace>(c.freeBytes);
        Converter converter(testing::TestEncoderSetup(FAKE_ENCODER_PATH, freeSpace));
        RecordingObserver observer;
        StopSignal stop;
        if (c.run == Run::kProbe) {
            const ProbeResult probe = converter.Probe(source, &stop);
            EXPECT_EQ(probe.outcome, c.outcome);
            EXPECT_TRUE(freeSpace->Asked().empty());
        } else {
            auto run = std::async(std::launch::async, [&] {
                return converter.Convert({source, target, 256}, &stop, observer);
            });
            if (c.run == Run::kConvertThenStop) {
                // The duration comes after the target is made: once it is
                // seen, ffmpeg has reached its last line.
                const bool reached = observer.WaitUntil(
                    [&] { return observer.Text(PanelField::kDuration) == "00:00:50.00"; });
                stop.Signal();
                EXPECT_TRUE(reached);
            }
            EXPECT_EQ(run.get(), c.outcome);
            for (const std::string& folder : freeSpace->Asked()) EXPECT_EQ(folder, dir.path());
        }
        EXPECT_EQ(FileExists(target), c.targetKept);
        EXPECT_TRUE(testing::ProcessesMentioning(dir.path()).empty());
        EXPECT_EQ(testing::ZombieChildren(), 0);
    }
}

TEST(EncoderFaults, MissingEncoderIsNotCarriedOut) {
    testing::TempDir dir;
    Converter converter(testing::TestEncoderSetup(dir.File("no-ffmpeg-here")));
    RecordingObserver observer;
    EXPECT_EQ(converter.Probe(dir.File("a.avi"), nullptr).outcome, kNotCarriedOut);
    EXPECT_EQ(converter.Convert({dir.File("a.avi"), dir.File("a.d3v"), 256}, nullptr, observer),
              kNotCarriedOut);
}

TEST(EncoderFaults, AFailedRunKeepsATargetItNeverTouched) {
    testing::TempDir dir;
    WriteFile(dir.File("a.avi"), "exit 1\n");
    WriteFile(dir.File("a.d3v"), "an earlier conversion");
    Converter converter(testing::TestEncoderSetup(FAKE_ENCODER_PATH));
    RecordingObserver observer;
    EXPECT_EQ(converter.Convert({dir.File("a.avi"), dir.File("a.d3v"), 256}, nullptr, observer),
              kConversionFailed);
    EXPECT_EQ(ReadFile(dir.File("a.d3v")), "an earlier conversion");
}

// Keeps the first posts and the last, and nothing else, so that the test
// itself does not grow with the output.
class ProgressEnds : public EncoderReportSink {
public:
    void SetPanelText(PanelField, std::string_view) override {}
    void PostProgress(int32_t position) override {
        if (first.size() < 2) first.push_back(position);
        last = position;
        ++count;
    }
    std::vector<int32_t> first;
    int32_t last = -1;
    long count = 0;
};

TEST(EncoderFaults, ProgressRunsFromZeroToFullAgainstTheRunsOwnDuration) {
    testing::TempDir dir;
    WriteFile(dir.File("a.avi"), std::string(kDuration) +
                                     "args\nsay frame= 1 time=00:00:25.00\\r\nflood 100\ntarget 10\n");
    Converter converter(testing::TestEncoderSetup(FAKE_ENCODER_PATH));
    ProgressEnds observer;
    const long peakBefore = testing::PeakResidentKiB();
    EXPECT_EQ(converter.Convert({dir.File("a.avi"), dir.File("a.d3v"), 384}, nullptr, observer),
              kConverted);
    EXPECT_NE(ReadFile(dir.File("a.avi.args")).find("-b:v\n384k\n"), std::string::npos);
    EXPECT_EQ(observer.first, (std::vector<int32_t>{0, 50000}));
    EXPECT_EQ(observer.last, 100000);
    // 100 MB of progress lines went through without piling up.
    EXPECT_GT(observer.count, 100000);
    EXPECT_LT(testing::PeakResidentKiB() - peakBefore, 8 * 1024);
}

}  // namespace
}  // namespace vantrel
