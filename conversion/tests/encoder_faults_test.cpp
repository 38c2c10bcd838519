// What the probe and the conversion make of every way ffmpeg can end, played
// by the scriptable fake encoder.
#include <gtest/gtest.h>

#include "conversion/converter.h"
#include "tests/support/test_support.h"

namespace vantrel {
namespace {

using namespace testing;
using enum ConversionOutcome;

const std::string kDescribe = "describe\n";  // a 50 s movie with a picture and sound
const std::string kPictureError = "say [h264 @ 0x1] Error while decoding stream #0:0\\n\n";
const std::string kSoundError = "say [aac @ 0x1] Error while decoding stream #0:1: Invalid data\\n\n";
const std::string kNone = "(none)", kWritten = "MMMMMMMMMM";  // what "target 10" writes

struct Case {
    const char* name;  // a probe when it starts with "probe"
    std::string script;  // none: no encoder at all
    ConversionOutcome outcome;
    std::string after = kNone;  // the target after the run; "earlier" was there before it
    std::vector<int32_t> progress = {};  // checked when given
    std::string says = "";  // in the report's notes or reason, when given
    uint64_t room = 1 << 30;  // free bytes where the target goes
};

// The free space where the target goes, failing a run that asks about another
// folder, and what the run reports: the progress posts that move the bar. In
// a row that ends stopped, it stops the run as the user would, once ffmpeg
// has described the source.
struct Watcher : FreeSpaceSource, EncoderReportSink {
    Watcher(const Case& row, std::string folder) : c(row), watched(std::move(folder)) {}
    std::optional<uint64_t> FreeBytes(const std::string& folder) const override {
        EXPECT_EQ(folder, watched);  // asked after every read, so it must not allocate
        return c.room;
    }
    void SourceDescribed(const SourceDescription&) override {
        if (c.outcome == kStopped) stop.Signal();
    }
    void Progressed(const ProgressReport& progress) override {
        const int32_t position = progress.position.value_or(-1);
        if (moves.empty() || moves.back() != position) moves.push_back(position);
    }
    const Case& c;
    std::string watched;
    StopSignal stop;
    std::vector<int32_t> moves;
};

std::string Said(const ConversionReport& report) {
    std::string said = report.reason;
    for (const std::string& note : report.notes) said += "|" + note;
    return said;
}

TEST(EncoderFaults, EveryEndOfARunGivesItsOutcomeAndLosesNothing) {
    const Case cases[] = {
        // ffmpeg ends for want of an output, and a full disk is none of a probe's concern.
        {"probe: a movie", kDescribe + "probe-exit\n", kConverted, kNone, {}, "", 0},
        {"probe: not a movie", "say Input #0, avi\\n\nexit 1\n", kUndecodable},
        {"probe: no encoder", "", kNotStarted, kNone, {}, "none: "},
        {"no encoder", "", kNotStarted, kNone, {}, "none: "},
        {"silent exit", "exit 0\n", kFailed},
        {"zero-byte target", kDescribe + "target 0\n", kFailed},
        {"ffmpeg cannot read it", "say x.avi: Invalid data found\\n\nexit 1\n", kUndecodable, kNone,
         {}, "x.avi: Invalid data found"},
        {"crash before describing the source", "target 10\ncrash\n", kUndecodable},
        // A failed run never shows a full bar, and says why in ffmpeg's words.
        {"failure after a partial target",
         kDescribe + "target 10\nsay frame= 1 time=00:00:05.00\\r\nsay file:a.d3v: Permission denied\\n\nexit 1\n",
         kFailed, kNone, {10000}, "a.d3v: Permission denied"},
        // An earlier conversion survives every end but a new success.
        {"failure leaves an earlier target whole", kDescribe + "target 10\nexit 1\n", kFailed, "earlier"},
        {"crash leaves an earlier target whole", kDescribe + "target 10\ncrash\n", kFailed, "earlier"},
        // ffmpeg 5.1 exits with 0 when the disk fills up as it closes the file.
        {"disk full at the end", kDescribe + "target 10\nsay Error closing file: No space left on device\n\n",
         kNoSpace},
        {"stop leaves an earlier target whole", kDescribe + "target 10\nhang\n", kStopped, "earlier"},
        {"success replaces an earlier target", kDescribe + "target 10\n", kConverted, kWritten},
        {"disk full", kDescribe + "target 10\nsay No space left on device\\n\nexit 1\n", kNoSpace},
        {"the disk fills up", kDescribe + "target 10\nsay frame= 1\\n\nhang\n", kNoSpace, kNone, {}, "", 0},
        {"one free byte is not full", "say frame= 1\\n\ntarget 10\n", kConverted, kWritten, {}, "", 1},
        {"ten pictures that fail to decode", kDescribe + Repeat(kPictureError, 10) + "target 10\n",
         kConverted, kWritten},
        {"the eleventh", kDescribe + "target 10\n" + Repeat(kPictureError, 11) + "hang\n", kUndecodable},
        // Damaged sound is skipped, however much of it, and the report says so.
        {"damaged sound", kDescribe + Repeat(kSoundError, 30) + "target 10\n", kConverted, kWritten,
         {}, "damaged sound was skipped (30 places)"},
        // A source that ends well before its stated duration.
        {"ends early", kDescribe + "say frame= 1 time=00:00:25.00\\r\ntarget 10\n", kConverted,
         kWritten, {50000, 100000}, "the source ends at 0:25 of its 0:50"},
        {"binary garbage and NULs", "target 10\ngarbage 100000\n", kConverted, kWritten},
        {"a grandchild holds the output", "target 10\ngrandchild\n", kConverted, kWritten},
        // 100 MB of progress lines, through in flat memory.
        {"flood", kDescribe + "flood 100\ntarget 10\n", kConverted, kWritten, {10000, 100000}},
        {"stop while talking", kDescribe + "target 10\ntalk\n", kStopped},
        {"stop while silent", kDescribe + "target 10\nhang\n", kStopped},
#ifndef _WIN32
        {"stop despite SIGTERM", "ignore-term\n" + kDescribe + "target 10\nhang\n", kStopped},
#endif
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        const std::string source = dir.File("source.avi"), target = dir.File("source.d3v");
        WriteFile(source, c.script);
        if (c.after == "earlier") WriteFile(target, "earlier");
        // What a run killed outright left: the next run of the target removes it.
        WriteFile(PartialTargetPath(target), "left by a killed run");
        auto watcher = std::make_shared<Watcher>(c, dir.path());
        Converter converter(TestEncoderSetup(
            c.script.empty() ? dir.File("none") : FAKE_ENCODER_PATH, watcher));
        const bool probe = std::string_view(c.name).starts_with("probe");
        const long peakBefore = PeakResidentKiB();
        if (probe) {
            const auto described = converter.Probe(source, &watcher->stop);
            EXPECT_EQ(described ? kConverted : described.reason().outcome, c.outcome);
            if (!c.says.empty()) {
                EXPECT_NE((described ? "" : described.reason().reason).find(c.says), std::string::npos);
            }
        } else {
            // The conversion's own run, alone: measuring the loudness first
            // would run the same script before it.
            ConversionRequest request = Request(source, target);
            request.normalizeLoudness = false;
            const ConversionReport report = converter.Convert(request, nullptr, &watcher->stop, *watcher);
            EXPECT_EQ(report.outcome, c.outcome);
            if (!c.says.empty()) {
                EXPECT_NE(Said(report).find(c.says), std::string::npos) << Said(report);
            }
            EXPECT_EQ(report.targetBytes, c.outcome == kConverted ? kWritten.size() : 0);
        }
        EXPECT_LT(PeakResidentKiB() - peakBefore, 8 * 1024);  // nothing piles up
        EXPECT_EQ(c.progress.empty() ? c.progress : watcher->moves, c.progress);
        EXPECT_EQ(FileExists(target) ? ReadFile(target) : kNone, c.after);
        EXPECT_EQ(FileExists(PartialTargetPath(target)), probe);  // a probe writes nothing
        EXPECT_TRUE(ProcessesMentioning(dir.path()).empty() && ZombieChildren() == 0);
    }
}

}  // namespace
}  // namespace vantrel
