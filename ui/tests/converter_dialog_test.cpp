// The converter window's logic, driven through a recording window and the
// scriptable fake encoder: no display needed.
#include "converter_dialog.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "control_ids.h"
#include "messages.h"
#include "recording_window.h"
#include "test_support.h"

namespace vantrel {
namespace {

using testing::FileExists;
using testing::FullChunk;
using testing::Repeat;
using testing::ReadFile;
using testing::RecordingWindow;
using testing::TempDir;
using testing::WriteFile;

// What ffmpeg says about a source before it gives up on the probe's empty
// output name.
std::string ProbeOutput(const std::string& duration) {
    return "say   Duration: " + duration +
           ", start: 0.000000, bitrate: 900 kb/s\\n"
           "    Stream #0:0: Video: h264 (High), yuv420p(progressive), 640x480 [SAR 1:1 DAR 4:3], "
           "25 fps, 25 tbr\\n\n"
           "say : No such file or directory\\n\nexit 1\n";
}
const std::string kProbe50s = ProbeOutput("00:00:50.00");


// Conversion scripts. Each one that keeps running first writes its partial
// target and then a progress line, so a test can wait for that report.
const char kConvertsHalfThenEnds[] = "say frame= 1 time=00:00:25.00\\r\ntarget 4096\n";
const char kTalksForever[] = "target 4096\ntalk\n";
const char kWaitsSilently[] = "target 4096\nsay frame= 1 time=00:00:05.00\\r\nhang\n";
const char kIgnoresTerm[] = "ignore-term\ntarget 4096\nsay frame= 1 time=00:00:05.00\\r\nhang\n";

class SwitchableFreeSpace : public FreeSpaceSource {
public:
    std::optional<uint64_t> FreeBytes(const std::string&) const override { return bytes.load(); }
    std::atomic<uint64_t> bytes{1u << 30};
};

// One window with its logic, as the program puts them together.
struct Session {
    explicit Session(std::string encoderPath = FAKE_ENCODER_PATH)
        : dialog(window, testing::TestEncoderSetup(std::move(encoderPath), freeSpace)) {
        dialog.OnInitDialog();
    }

    void Open(const std::string& path) {
        window.AnswerNextChoice(path);
        dialog.OnOpenSource();
    }

    // Encode, remembering where this run's progress reports begin.
    void Encode() {
        postsBeforeEncode = window.Posts().size();
        dialog.OnEncode();
    }

    // Waits until the running conversion has reported a position, which its
    // script does after writing the partial target.
    bool WaitForProgress() {
        return window.WaitUntil([&] {
            const std::vector<int32_t> posts = window.Posts();
            return std::any_of(posts.begin() + static_cast<std::ptrdiff_t>(postsBeforeEncode),
                               posts.end(), [](int32_t p) { return p > 0; });
        });
    }

    size_t postsBeforeEncode = 0;

    std::shared_ptr<SwitchableFreeSpace> freeSpace = std::make_shared<SwitchableFreeSpace>();
    RecordingWindow window;
    ConverterDialog dialog;  // last: it goes first, while the window still exists
};

class ConverterDialogTest : public ::testing::Test {
protected:
    // A source file whose content is the fake encoder's script.
    std::string Source(const std::string& name, const std::string& script) {
        WriteFile(dir.File(name), script);
        return dir.File(name);
    }

    // OPENs a source the probe describes, then arms it for the conversion.
    std::string OpenProbed(Session& session, const std::string& name,
                           const std::string& conversionScript) {
        const std::string path = Source(name, kProbe50s);
        session.Open(path);
        WriteFile(path, conversionScript);
        return path;
    }

    void ExpectNoEncoderLeft() {
        EXPECT_TRUE(testing::ProcessesMentioning(dir.path()).empty());
        EXPECT_EQ(testing::ZombieChildren(), 0);
    }

    TempDir dir;
};

std::vector<std::string> EventsFrom(RecordingWindow& window, size_t first) {
    const std::vector<std::string> events = window.Events();
    return {events.begin() + static_cast<std::ptrdiff_t>(std::min(first, events.size())),
            events.end()};
}

// The events that make up the Idle/Converting state: the button and OPEN.
std::vector<std::string> ButtonEvents(const std::vector<std::string>& events) {
    std::vector<std::string> out;
    for (const std::string& e : events) {
        if (e.rfind("text 1002 ", 0) == 0 || e.rfind("enable 1001 ", 0) == 0) out.push_back(e);
    }
    return out;
}

TEST_F(ConverterDialogTest, StartsIdleWithoutASource) {
    Session s;
    EXPECT_EQ(s.window.Text(kIdEncode), "Encode");
    EXPECT_FALSE(s.window.Enabled(kIdEncode));
    EXPECT_TRUE(s.window.Enabled(kIdOpen));
    EXPECT_FALSE(s.window.Checked(kIdQualityLowest));
    EXPECT_TRUE(s.window.Checked(kIdQualityMediumLo));
    EXPECT_FALSE(s.window.Checked(kIdQualityMediumHi));
    EXPECT_FALSE(s.window.Checked(kIdQualityHighest));
    EXPECT_EQ(s.dialog.videoBitrate(), 256);
    EXPECT_EQ(s.window.Posts(), std::vector<int32_t>{0});
    for (int id = kIdFileName; id <= kIdFrameRate; ++id) EXPECT_EQ(s.window.Text(id), "") << id;
    EXPECT_FALSE(s.dialog.converting());

    // No duration yet: Encode does nothing at all.
    const size_t before = s.window.Events().size();
    s.dialog.OnEncode();
    EXPECT_TRUE(EventsFrom(s.window, before).empty());
    EXPECT_FALSE(s.dialog.converting());
}

struct QualityCase {
    const char* name;
    void (ConverterDialog::*handler)();
    int32_t bitrate;
};

TEST_F(ConverterDialogTest, QualityButtonsChooseTheNextRunsBitrate) {
    const QualityCase cases[] = {
        {"Lowest", &ConverterDialog::OnQualityLowest, 192},
        {"Medium Hi", &ConverterDialog::OnQualityMediumHi, 320},
        {"Highest", &ConverterDialog::OnQualityHighest, 384},
        {"Medium Lo", &ConverterDialog::OnQualityMediumLo, 256},
    };
    Session s;
    const std::string path = OpenProbed(s, "clip.avi", "args\ntarget 10\n");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        (s.dialog.*c.handler)();
        EXPECT_EQ(s.dialog.videoBitrate(), c.bitrate);
        s.dialog.OnEncode();
        EXPECT_EQ(s.dialog.WaitForWorker(), kConverted);
        EXPECT_NE(ReadFile(path + ".args").find("-b:v\n" + std::to_string(c.bitrate) + "k\n"),
                  std::string::npos)
            << ReadFile(path + ".args");
    }
}

TEST_F(ConverterDialogTest, QualityChosenDuringARunReachesOnlyTheNextRun) {
    Session s;
    const std::string path = OpenProbed(s, "clip.avi", std::string("args\n") + kTalksForever);
    s.Encode();
    ASSERT_TRUE(s.WaitForProgress());
    s.dialog.OnQualityHighest();
    s.dialog.OnEncode();  // STOP
    EXPECT_EQ(s.dialog.WaitForWorker(), kStopped);
    EXPECT_NE(ReadFile(path + ".args").find("-b:v\n256k\n"), std::string::npos)
        << ReadFile(path + ".args");

    WriteFile(path, "args\ntarget 10\n");
    s.dialog.OnEncode();
    EXPECT_EQ(s.dialog.WaitForWorker(), kConverted);
    EXPECT_NE(ReadFile(path + ".args").find("-b:v\n384k\n"), std::string::npos);
}

struct AcceptedName {
    const char* name;
    const char* target;
};

TEST_F(ConverterDialogTest, OpenTakesAMovieNamesItsTargetAndProbesIt) {
    const AcceptedName cases[] = {
        {"clip.avi", "clip.d3v"},
        {"Trip.AVI", "trip.d3v"},
        {"MVI_0001.MOV", "mvi_0001.d3v"},
        {"Holiday Clip.mpeg", "holiday clip.d3v"},
    };
    Session s;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = Source(c.name, kProbe50s);
        const size_t before = s.window.Events().size();
        s.Open(path);
        EXPECT_EQ(s.dialog.sourcePath(), path);
        EXPECT_EQ(s.dialog.sourceName(), c.name);
        EXPECT_EQ(s.dialog.targetPath(), dir.File(c.target));
        EXPECT_EQ(s.window.Text(kIdFileName), c.name);
        EXPECT_TRUE(s.window.Enabled(kIdEncode));
        EXPECT_EQ(s.window.Text(kIdDuration), "00:00:50.00");
        EXPECT_EQ(s.window.Text(kIdBitrate), "900 kb/s");
        EXPECT_EQ(s.window.Text(kIdVideoCodec), "h264 (High)");
        EXPECT_EQ(s.window.Text(kIdPictureSize), "640x480");
        EXPECT_EQ(s.window.Text(kIdFrameRate), "25 fps");
        EXPECT_EQ(s.dialog.durationHundredths(), 5000);
        EXPECT_TRUE(s.window.Messages().empty());
        // The probe holds the UI thread under the busy cursor, after the
        // progress bar was reset.
        const std::vector<std::string> events = EventsFrom(s.window, before);
        const auto busy = std::find(events.begin(), events.end(), "busy 1");
        ASSERT_NE(busy, events.end());
        EXPECT_NE(std::find(events.begin(), busy, "progress 0"), busy);
        EXPECT_EQ(events.back(), "busy 0");
        EXPECT_FALSE(s.window.Busy());
    }
}

TEST_F(ConverterDialogTest, RejectedNameKeepsThePreviousSourceAndOnlyResetsTheBar) {
    Session s;
    const std::string clip = OpenProbed(s, "clip.avi", kConvertsHalfThenEnds);
    s.dialog.OnEncode();
    ASSERT_EQ(s.dialog.WaitForWorker(), kConverted);
    ASSERT_EQ(s.window.Posts().back(), 100000);

    for (const char* rejected : {"clip.d3v", "CLIP.D3V", "clip.m2v", "clip", "clip.ts", "a.b.c"}) {
        SCOPED_TRACE(rejected);
        const size_t before = s.window.Events().size();
        s.Open(dir.File(rejected));
        EXPECT_EQ(EventsFrom(s.window, before), (std::vector<std::string>{"choose", "progress 0"}));
        EXPECT_EQ(s.dialog.sourcePath(), clip);
        EXPECT_EQ(s.dialog.targetPath(), dir.File("clip.d3v"));
        EXPECT_EQ(s.window.Text(kIdFileName), "clip.avi");
        EXPECT_EQ(s.window.Text(kIdDuration), "00:00:50.00");
        EXPECT_EQ(s.dialog.durationHundredths(), 5000);
    }
    // And the previous source still converts.
    s.dialog.OnEncode();
    EXPECT_EQ(s.dialog.WaitForWorker(), kConverted);
}

TEST_F(ConverterDialogTest, CancelledOpenChangesNothing) {
    Session s;
    const std::string clip = OpenProbed(s, "clip.avi", kConvertsHalfThenEnds);
    const size_t before = s.window.Events().size();
    s.window.AnswerNextChoice(std::nullopt);
    s.dialog.OnOpenSource();
    EXPECT_EQ(EventsFrom(s.window, before), std::vector<std::string>{"choose"});
    EXPECT_EQ(s.dialog.sourcePath(), clip);
}

TEST_F(ConverterDialogTest, ProbeWithoutDurationClearsThePanelSaysSoAndLeavesEncodeInert) {
    Session s;
    OpenProbed(s, "clip.avi", kConvertsHalfThenEnds);
    const std::string other = Source("other.avi", "say this is not a movie\\n\nexit 1\n");
    s.Open(other);
    EXPECT_EQ(s.window.Text(kIdFileName), "other.avi");
    for (int id = kIdDuration; id <= kIdFrameRate; ++id) EXPECT_EQ(s.window.Text(id), "") << id;
    EXPECT_EQ(s.dialog.durationHundredths(), 0);
    EXPECT_EQ(s.window.Messages(),
              std::vector<std::string>{"Unable to decode source video\r\n\r\n" + other});

    const size_t before = s.window.Events().size();
    s.dialog.OnEncode();
    EXPECT_TRUE(EventsFrom(s.window, before).empty());
    EXPECT_FALSE(s.dialog.converting());
    EXPECT_FALSE(s.dialog.WaitForWorker().has_value());
    EXPECT_FALSE(FileExists(dir.File("other.d3v")));
}

struct ProbeFaultCase {
    const char* name;
    std::string script;
    bool driveFull;
    bool encoderMissing;
    std::string expectedPrefix;  // the message, before the source path; empty: the literal below
};

TEST_F(ConverterDialogTest, ProbeFaultsAreReported) {
    const ProbeFaultCase cases[] = {
        {"file system full", kProbe50s, true, false, "Error, Not enough Memory\r\n\r\n"},
        {"more than ten decoding failures",
         Repeat(FullChunk("Error while decoding stream #0:0"), 11) + "hang\n", false, false,
         "Unable to decode source video\r\n\r\n"},
        {"no encoder", kProbe50s, false, true, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Session s(c.encoderMissing ? dir.File("no-ffmpeg-here") : FAKE_ENCODER_PATH);
        if (c.driveFull) s.freeSpace->bytes = 0;
        const std::string path = Source("clip.avi", c.script);
        s.Open(path);
        const std::string expected =
            c.expectedPrefix.empty() ? kFailedToExecuteMessage : c.expectedPrefix + path;
        EXPECT_EQ(s.window.Messages(), std::vector<std::string>{expected});
        // The source stays chosen.
        EXPECT_EQ(s.window.Text(kIdFileName), "clip.avi");
        EXPECT_TRUE(s.window.Enabled(kIdEncode));
        ExpectNoEncoderLeft();
    }
}

TEST_F(ConverterDialogTest, EncodeConvertsThenReturnsToIdle) {
    Session s;
    OpenProbed(s, "clip.avi", kConvertsHalfThenEnds);
    const size_t before = s.window.Events().size();
    s.dialog.OnEncode();
    EXPECT_EQ(s.dialog.WaitForWorker(), kConverted);

    const std::vector<std::string> events = EventsFrom(s.window, before);
    EXPECT_EQ(ButtonEvents(events),
              (std::vector<std::string>{"text 1002 STOP", "enable 1001 0", "enable 1001 1",
                                        "text 1002 Encode"}));
    EXPECT_EQ(s.window.Text(kIdEncode), "Encode");
    EXPECT_TRUE(s.window.Enabled(kIdOpen));
    EXPECT_FALSE(s.dialog.converting());
    const std::vector<int32_t> posts = s.window.Posts();
    EXPECT_EQ(std::vector<int32_t>(posts.end() - 4, posts.end()),
              (std::vector<int32_t>{0, 50000, 100000, 100000}));
    EXPECT_EQ(ReadFile(dir.File("clip.d3v")).size(), 4096u);
    EXPECT_TRUE(s.window.Messages().empty());
    ExpectNoEncoderLeft();
}

struct RunFaultCase {
    const char* name;
    std::string script;
    bool fillFileSystem;
    const char* message;  // before "\r\n\r\n" and the source path
};

TEST_F(ConverterDialogTest, RunOutcomesAreReportedAfterTheButtonsAreIdle) {
    const RunFaultCase cases[] = {
        {"empty target", "", false, "Conversion Failed"},
        {"encoder crashed", "target 4096\ncrash\n", false, "Conversion Failed"},
        {"ffmpeg ran out of space",
         "target 10\nsay av_interleaved_write_frame(): No space left on device\\n\nexit 1\n", false,
         "Error, Not enough Memory"},
        {"file system full", "target 10\nsay frame= 1\\n\nhang\n", true,
         "Error, Not enough Memory"},
        {"more than ten decoding failures",
         Repeat(FullChunk("Error while decoding stream #0:0"), 11) + "target 10\nhang\n", false,
         "Unable to decode source video"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Session s;
        const std::string path = OpenProbed(s, "clip.avi", c.script);
        if (c.fillFileSystem) s.freeSpace->bytes = 0;
        const size_t before = s.window.Events().size();
        s.dialog.OnEncode();
        s.dialog.WaitForWorker();

        EXPECT_EQ(s.window.Messages(),
                  std::vector<std::string>{std::string(c.message) + "\r\n\r\n" + path});
        const std::vector<std::string> events = EventsFrom(s.window, before);
        const auto idle = std::find(events.begin(), events.end(), "text 1002 Encode");
        const auto message = std::find_if(events.begin(), events.end(), [](const std::string& e) {
            return e.rfind("message ", 0) == 0;
        });
        EXPECT_LT(idle, message);
        EXPECT_FALSE(FileExists(dir.File("clip.d3v")));
        ExpectNoEncoderLeft();
    }
}

struct StopCase {
    const char* name;
    const char* script;
};

const StopCase kStopCases[] = {
    {"while talking", kTalksForever},
    {"while silent", kWaitsSilently},
    {"while ignoring SIGTERM", kIgnoresTerm},
};

TEST_F(ConverterDialogTest, StopEndsTheRunAtOnceQuietly) {
    for (const auto& c : kStopCases) {
        SCOPED_TRACE(c.name);
        Session s;
        OpenProbed(s, "clip.avi", c.script);
        s.Encode();
        ASSERT_TRUE(s.WaitForProgress());
        EXPECT_TRUE(s.dialog.converting());
        EXPECT_EQ(s.window.Text(kIdEncode), "STOP");
        EXPECT_FALSE(s.window.Enabled(kIdOpen));

        s.dialog.OnEncode();
        // Idle at once, before the run is over.
        EXPECT_FALSE(s.dialog.converting());
        EXPECT_EQ(s.window.Text(kIdEncode), "Encode");
        EXPECT_TRUE(s.window.Enabled(kIdOpen));

        EXPECT_EQ(s.dialog.WaitForWorker(), kStopped);
        EXPECT_FALSE(FileExists(dir.File("clip.d3v")));
        EXPECT_TRUE(s.window.Messages().empty());
        EXPECT_EQ(s.window.Text(kIdEncode), "Encode");
        ExpectNoEncoderLeft();
    }
}

TEST_F(ConverterDialogTest, ClosingMidRunStopsTheRunAndWaitsForIt) {
    for (const auto& c : kStopCases) {
        SCOPED_TRACE(c.name);
        auto s = std::make_unique<Session>();
        OpenProbed(*s, "clip.avi", c.script);
        s->Encode();
        ASSERT_TRUE(s->WaitForProgress());

        s->dialog.OnClose();
        s->window.Seal();
        EXPECT_FALSE(FileExists(dir.File("clip.d3v")));
        ExpectNoEncoderLeft();
        // The window is gone for the logic: its handlers no longer act.
        s->dialog.OnEncode();
        s->dialog.OnOpenSource();
        s->dialog.OnFilesDropped({dir.File("clip.avi")});
        EXPECT_TRUE(s->window.Messages().empty());
        RecordingWindow& window = s->window;
        const int late = window.CallsAfterSeal();
        EXPECT_EQ(late, 0);
    }
}

TEST_F(ConverterDialogTest, EncodeRightAfterStopConvertsAfresh) {
    Session s;
    const std::string path = OpenProbed(s, "clip.avi", kTalksForever);
    s.Encode();
    ASSERT_TRUE(s.WaitForProgress());
    s.dialog.OnEncode();  // STOP
    WriteFile(path, kConvertsHalfThenEnds);
    const size_t before = s.window.Events().size();
    s.dialog.OnEncode();  // at once: the stopped worker may still be finishing

    EXPECT_EQ(s.dialog.WaitForWorker(), kConverted);
    // The stopped run deleted its partial target before the new run wrote it.
    EXPECT_EQ(ReadFile(dir.File("clip.d3v")).size(), 4096u);
    EXPECT_EQ(ButtonEvents(EventsFrom(s.window, before)),
              (std::vector<std::string>{"text 1002 STOP", "enable 1001 0", "enable 1001 1",
                                        "text 1002 Encode"}));
    EXPECT_EQ(s.window.Posts().back(), 100000);
    EXPECT_TRUE(s.window.Messages().empty());
    ExpectNoEncoderLeft();
}

TEST_F(ConverterDialogTest, OpenRightAfterStopProbesTheNewSource) {
    Session s;
    OpenProbed(s, "clip.avi", kTalksForever);
    s.Encode();
    ASSERT_TRUE(s.WaitForProgress());
    s.dialog.OnEncode();  // STOP
    const std::string other = Source("other.avi", ProbeOutput("00:01:40.00"));
    s.Open(other);  // at once

    EXPECT_EQ(s.window.Text(kIdFileName), "other.avi");
    EXPECT_EQ(s.window.Text(kIdDuration), "00:01:40.00");
    EXPECT_EQ(s.dialog.durationHundredths(), 10000);
    EXPECT_FALSE(FileExists(dir.File("clip.d3v")));
    EXPECT_TRUE(s.window.Messages().empty());
    // Whatever the stopped run still posted came before OPEN reset the bar.
    EXPECT_EQ(s.window.Posts().back(), 0);
    ExpectNoEncoderLeft();
}

TEST_F(ConverterDialogTest, DroppedFilesActAsOpenWithTheFirst) {
    Session s;
    const std::string clip = Source("clip.avi", kProbe50s);
    const std::string other = Source("other.avi", ProbeOutput("00:01:40.00"));
    s.dialog.OnFilesDropped({clip, other});
    EXPECT_EQ(s.window.ChooserCalls(), 0);
    EXPECT_EQ(s.window.Text(kIdFileName), "clip.avi");
    EXPECT_EQ(s.dialog.durationHundredths(), 5000);

    // OPEN is disabled while converting, and so is dropping.
    WriteFile(clip, kTalksForever);
    s.Encode();
    ASSERT_TRUE(s.WaitForProgress());
    s.dialog.OnFilesDropped({other});
    EXPECT_EQ(s.dialog.sourcePath(), clip);
    EXPECT_EQ(s.dialog.durationHundredths(), 5000);
    s.dialog.OnEncode();
    EXPECT_EQ(s.dialog.WaitForWorker(), kStopped);
}

}  // namespace
}  // namespace vantrel
