// What the probe and the conversion make of every way ffmpeg can end, played
// by the scriptable fake encoder.
#include <gtest/gtest.h>

#include "conversion/converter.h"
#include "tests/support/test_support.h"

namespace vantrel {
namespace {

using namespace testing;

const std::string kDuration = "say   Duration: 00:00:50.00, start: 0.0, bitrate: 900 kb/s\\n\n";
const std::string kDecodeError = "say [h264 @ 0x1] Error while decoding stream #0:0\\n\n";
const std::string kNone = "(none)", kWritten = "MMMMMMMMMM";  // what "target 10" writes

struct Case {
    const char* name;  // a probe when it starts with "probe"
    std::string script;  // none: no encoder at all
    ConversionOutcome outcome;
    std::string after = kNone;  // the target after the run; "earlier" was there before it
    std::vector<int32_t> progress = {};  // checked when given
    uint64_t room = 1 << 30;             // free bytes where the target goes
};

// The free space where the target goes, failing a run that asks about another
// folder, and what the run reports: the progress posts that move the bar. In
// a row that ends stopped, it stops the run as the user would, once ffmpeg
// has named the source's duration.
struct Watcher : FreeSpaceSource, EncoderReportSink {
    Watcher(const Case& row, std::string folder) : c(row), watched(std::move(folder)) {}
    std::optional<uint64_t> FreeBytes(const std::string& folder) const override {
        EXPECT_EQ(folder, watched);  // asked after every read, so it must not allocate
        return c.room;
    }
    void SetPanelText(PanelField field, std::string_view) override {
        if (field == PanelField::kDuration && c.outcome == kStopped) stop.Signal();
    }
    void PostProgress(int32_t position) override {
        if (moves.empty() || moves.back() != position) moves.push_back(position);
    }
    const Case& c;
    std::string watched;
    StopSignal stop;
    std::vector<int32_t> moves;
};

TEST(EncoderFaults, EveryEndOfARunGivesItsOutcomeAndLeavesNothingBehind) {
    const Case cases[] = {
        // ffmpeg ends for want of an output, and a full disk is none of a probe's concern.
        {"probe: a duration", kDuration + "exit 1\n", kConverted, kNone, {}, 0},
        {"probe: no duration", "say Input #0, avi\\n\nexit 1\n", kUndecodableSource},
        {"probe: no encoder", "", kNotCarriedOut},
        {"no encoder", "", kNotCarriedOut},
        {"silent exit", "exit 0\n", kConversionFailed},
        {"zero-byte target", "target 0\n", kConversionFailed},
        // A failed run never shows a full bar.
        {"failure after a partial target", "target 10\nexit 1\n", kConversionFailed, kNone, {0}},
        {"failure leaves an earlier target alone", "exit 1\n", kConversionFailed, "earlier"},
        {"crash", "target 10\ncrash\n", kConversionFailed},
        {"disk full", "target 10\nsay No space left on device\\n\nexit 1\n", kNotEnoughSpace},
        {"the disk fills up", "target 10\nsay frame= 1\\n\nhang\n", kNotEnoughSpace, kNone, {}, 0},
        {"one free byte is not full", "say frame= 1\\n\ntarget 10\n", kConverted, kWritten, {}, 1},
        {"ten decoding failures", Repeat(kDecodeError, 10) + "target 10\n", kConverted, kWritten},
        {"the eleventh", "target 10\n" + Repeat(kDecodeError, 11) + "hang\n", kUndecodableSource},
        {"binary garbage and NULs", "target 10\ngarbage 100000\n", kConverted, kWritten},
        {"a grandchild holds the output", "target 10\ngrandchild\n", kConverted, kWritten},
        // 100 MB of progress lines, through in flat memory.
        {"flood", kDuration + "flood 100\ntarget 10\n", kConverted, kWritten, {0, 10000, 100000}},
        {"stop while talking", "target 10\n" + kDuration + "talk\n", kStopped},
        {"stop while silent", "target 10\n" + kDuration + "hang\n", kStopped},
#ifndef _WIN32
        {"stop despite SIGTERM", "ignore-term\ntarget 10\n" + kDuration + "hang\n", kStopped},
#endif
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        const std::string source = dir.File("source.avi"), target = dir.File("source.d3v");
        WriteFile(source, c.script);
        if (c.after == "earlier") WriteFile(target, "earlier");
        auto watcher = std::make_shared<Watcher>(c, dir.path());
        Converter converter(TestEncoderSetup(
            c.script.empty() ? dir.File("none") : FAKE_ENCODER_PATH, watcher));
        const bool probe = std::string_view(c.name).starts_with("probe");
        const long peakBefore = PeakResidentKiB();
        EXPECT_EQ(probe ? converter.Probe(source, &watcher->stop).outcome
                        : converter.Convert({source, target, 256}, &watcher->stop, *watcher),
                  c.outcome);
        EXPECT_LT(PeakResidentKiB() - peakBefore, 8 * 1024);  // nothing piles up
        EXPECT_EQ(c.progress.empty() ? c.progress : watcher->moves, c.progress);
        EXPECT_EQ(FileExists(target) ? ReadFile(target) : kNone, c.after);
        EXPECT_TRUE(ProcessesMentioning(dir.path()).empty() && ZombieChildren() == 0);
    }
}

}  // namespace
}  // namespace vantrel
