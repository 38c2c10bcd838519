// The window's logic with the fake encoder, the test's thread playing the UI
// thread: OPEN, the probe off the UI thread, Encode and STOP as the user sees them.
#include "ui/converter_dialog.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <random>
#include <regex>

#include "ui/control_ids.h"
#include "ui/tests/recording_window.h"

namespace vantrel {
namespace {

using Activity = ConverterDialog::Activity;
using enum Activity;

// A 50 s movie, as the fake encoder describes it; a probe ends there.
const std::string kDescription = "describe\nprobe-exit\n";

// What the window shows must be what the logic is doing.
bool ShowsItsState(testing::RecordingWindow& window, Activity now) {
    return window.Enabled(kIdOpen) == (now == kIdle) && window.Busy() == (now == kProbing) &&
           (window.Text(kIdEncode) == "STOP") == (now == kConverting) &&
           (now != kProbing || !window.Enabled(kIdEncode));
}

struct RememberingStore : SettingsStore {
    std::map<std::string, std::string, std::less<>> values;
    std::optional<std::string> Read(std::string_view key) override {
        return values.contains(key) ? std::optional(values.find(key)->second) : std::nullopt;
    }
    void Write(std::string_view key, std::string_view v) override { values[std::string(key)] = v; }
};

class DialogTest : public ::testing::Test {
protected:
    // OPEN on a source that has the fake encoder run `script`.
    std::string Open(const std::string& name, const std::string& script) {
        testing::WriteFile(dir.File(name), script);
        window.AnswerNextChoice(dir.File(name));
        dialog.OnOpenSource();
        return dir.File(name);
    }
    bool Idle() { return window.PumpUntil([&] { return dialog.activity() == kIdle; }); }

    testing::TempDir dir;
    testing::RecordingWindow window;
    RememberingStore settings;
    ConverterDialog dialog{window, testing::TestEncoderSetup(FAKE_ENCODER_PATH), &settings};
};

TEST_F(DialogTest, OpenDescribesTheSourceAndEncodeConverts) {
    const std::string source = Open("Trip.AVI", kDescription + "args\ntarget 2048\n");
    ASSERT_TRUE(Idle());
    EXPECT_EQ(window.Text(kIdFileName), "Trip.AVI");
    EXPECT_EQ(window.Text(kIdDuration), "00:00:50.00");
    EXPECT_TRUE(window.Enabled(kIdEncode));
    dialog.OnQuality(kIdQualityHighest);
    dialog.OnEncode();
    EXPECT_TRUE(ShowsItsState(window, kConverting));
    ASSERT_TRUE(Idle());
    EXPECT_TRUE(window.Messages().empty());
    EXPECT_EQ(testing::ReadFile(dir.File("trip.d3v")).size(), 2048u);
    EXPECT_NE(testing::ReadFile(source + ".args").find("\n384k\n"), std::string::npos);
    EXPECT_TRUE(std::regex_match(window.Text(kIdStatus),
                                 std::regex("Converted: trip\\.d3v \\(2 kB\\) in [0-9]+:[0-9]{2}")))
        << window.Text(kIdStatus);
}

// After OPEN the status line tells the size to expect, while converting the
// progress in words. A run's end has the last word, after its last report.
TEST_F(DialogTest, TheStatusLineFollowsTheRun) {
    const std::string progress = "target 2048\nsay frame= 1 time=00:00:25.00\\r\n";
    const std::string source = Open("trip.avi", kDescription + progress + "hang\n");
    ASSERT_TRUE(Idle());
    EXPECT_EQ(window.Text(kIdStatus), "Expected size: 2.0 MB");  // (256 + 64) kbit/s for 50 s
    dialog.OnEncode();
    ASSERT_TRUE(window.PumpUntil([&] { return window.Text(kIdStatus).rfind("50.0%", 0) == 0; }));
    EXPECT_TRUE(std::regex_match(window.Text(kIdStatus),
                                 std::regex("50\\.0%   [0-9.]+× real time   [0-9]+:[0-9]{2} left")));
    dialog.OnEncode();
    testing::WriteFile(source, kDescription + progress + "exit 1\n");
    dialog.OnQuality(kIdQualityHighest);
    dialog.OnEncode();
    ASSERT_TRUE(window.PumpUntil([&] { return window.Messages().size() == 1; }));
    EXPECT_EQ(window.Text(kIdStatus), "Expected size: 2.8 MB");
}

// A recording whose header was never finished has no duration: it converts
// all the same, and the status line counts the time converted instead.
TEST_F(DialogTest, ASourceWithoutADurationConverts) {
    const std::string noDuration =
        "say Input #0, mpegts, from 'x':\\n  Duration: N/A, bitrate: N/A\\n"
        "  Stream #0:0: Video: h264, yuv420p, 320x240, 25 fps\\n"
        "  Stream #0:1: Audio: aac, 44100 Hz, mono\\nStream mapping:\\n\n";
    Open("rec.ts", noDuration + "probe-exit\nsay frame= 1 time=00:01:05.00\\r\ntarget 2048\nhang\n");
    ASSERT_TRUE(Idle());
    EXPECT_EQ(window.Text(kIdDuration), "N/A");
    EXPECT_TRUE(window.Enabled(kIdEncode));
    dialog.OnEncode();
    ASSERT_TRUE(window.PumpUntil([&] { return window.Text(kIdStatus).rfind("1:05 converted", 0) == 0; }));
    dialog.OnEncode();  // STOP
    EXPECT_FALSE(testing::FileExists(dir.File("rec.d3v")));
}

TEST_F(DialogTest, OpenStartsInTheFolderOfTheLastSourceAfterARestart) {
    Open("trip.avi", kDescription);
    ASSERT_TRUE(Idle());
    testing::RecordingWindow next;
    ConverterDialog restarted(next, testing::TestEncoderSetup(FAKE_ENCODER_PATH), &settings);
    restarted.OnInitDialog();
    restarted.OnOpenSource();
    EXPECT_EQ(next.FolderOffered(), dir.path());
}

// The message, the source, and why in ffmpeg's words when it said.
TEST_F(DialogTest, FailuresAreToldWithTheSourceAndWhy) {
    const std::string undecodable = Open("notes.avi", "say Input #0, avi\\n\n");
    ASSERT_TRUE(Idle());
    dialog.OnEncode();  // inert without a description
    EXPECT_EQ(dialog.activity(), kIdle);
    const std::string failing =
        Open("bad.avi", kDescription + "say file:/m/bad.d3v: Permission denied\\n\nexit 1\n");
    ASSERT_TRUE(Idle());
    dialog.OnEncode();
    ASSERT_TRUE(window.PumpUntil([&] { return window.Messages().size() == 2; }));
    EXPECT_EQ(window.Messages(),
              (std::vector<std::string>{"Unable to decode source video\r\n\r\n" + undecodable,
                                        "Conversion Failed\r\n\r\n" + failing +
                                            "\r\n\r\n/m/bad.d3v: Permission denied"}));
}

// A named pipe or a stalled mount keeps ffmpeg waiting for ever. The encoder
// writes its arguments to a pipe the test reads: then it is surely running.
// (Windows has no pipe that lives in a folder.)
#ifndef _WIN32
TEST_F(DialogTest, AProbeThatNeverEndsLeavesTheWindowUsableAndCloseStopsIt) {
    ASSERT_EQ(::mkfifo(dir.File("stalled.avi.args").c_str(), 0600), 0);
    testing::ReadFile(Open("stalled.avi", "args\nhang\n") + ".args");
    EXPECT_TRUE(dialog.activity() == kProbing && ShowsItsState(window, kProbing));
    dialog.OnClose();
    EXPECT_FALSE(window.Busy());
    EXPECT_TRUE(testing::ProcessesMentioning(dir.path()).empty());
}
#endif

// The run has ended, but the UI thread has not yet heard: the button still
// says STOP, and a click on it must not start a run over the finished file.
TEST_F(DialogTest, AClickThatLandsAsARunEndsStartsNothing) {
    Open("trip.avi", kDescription + "target 2048\n");
    ASSERT_TRUE(Idle());
    dialog.OnEncode();
    ASSERT_TRUE(window.PumpUntil([&] { return window.Queued() > 0; }, false));
    dialog.OnEncode();
    EXPECT_EQ(dialog.activity(), kIdle);
    ASSERT_TRUE(Idle());
    EXPECT_EQ(testing::ReadFile(dir.File("trip.d3v")).size(), 2048u);
}

// Random sequences of OPEN, quality, Encode or STOP, the UI thread catching
// up, and close: after every step the window shows the state the logic is in;
// after every sequence no process, zombie, descriptor or stray target is left.
TEST(Soak, RandomSequencesLeaveNothingBehind) {
    // What each source's conversion does: only the "ok" ones may leave a target,
    // the "endless" ones end only when stopped, and the rule refuses "notes.txt".
    const std::pair<std::string, std::string> sources[] = {
        {"ok-quick.avi", "target 2048\n"}, {"endless-talker.avi", "target 2048\ntalk\n"},
        {"ok-chatty.avi",
         "say frame= 1 time=00:00:10.00\\r\ntarget 2048\nsay frame= 3 time=00:00:49.00\\r\n"},
        {"endless-silent.avi", "target 2048\nhang\n"},
        {"endless-deaf.avi", "ignore-term\ntarget 2048\nhang\n"}, {"notes.txt", ""},
        {"failer.avi", "target 2048\nexit 1\n"}, {"crasher.avi", "target 2048\ncrash\n"},
    };
    testing::TempDir dir;
    for (const auto& [name, run] : sources) testing::WriteFile(dir.File(name), kDescription + run);
    std::mt19937 random(20261206);
    const EncoderSetup setup = testing::TestEncoderSetup(FAKE_ENCODER_PATH);
#ifndef _WIN32
    const int fdsBefore = testing::OpenFileDescriptors();
#endif
    for (int sequence = 0; sequence < 1000; ++sequence) {
        SCOPED_TRACE("sequence " + std::to_string(sequence));
        auto shown = std::make_unique<testing::RecordingWindow>();
        testing::RecordingWindow& window = *shown;
        auto dialog = std::make_unique<ConverterDialog>(window, setup);
        for (int step = 1 + static_cast<int>(random() % 12); step > 0; --step) {
            const auto action = random() % 10;
            if (action < 2) {
                window.AnswerNextChoice(dir.File(sources[random() % std::size(sources)].first));
                dialog->OnOpenSource();
            } else if (action < 3) {
                dialog->OnQuality(kQualityRadios[random() % kQualityRadios.size()]);
            } else if (action < 6) {
                dialog->OnEncode();  // Encode, or STOP while converting
            } else {  // the UI thread catches up: a probe ends, and so does a run that can
                const bool endless = dialog->sourcePath().find("endless") != std::string::npos;
                ASSERT_TRUE(window.PumpUntil([&] {
                    const Activity now = dialog->activity();
                    return now == kIdle || (endless && now != kProbing);
                }));
            }
            ASSERT_TRUE(ShowsItsState(window, dialog->activity()));
        }
        dialog.reset();  // closes it
        ASSERT_TRUE(testing::ProcessesMentioning(dir.path()).empty());
#ifndef _WIN32
        ASSERT_EQ(testing::ZombieChildren(), 0);
        ASSERT_EQ(testing::OpenFileDescriptors(), fdsBefore);
#endif
        for (const auto& [name, run] : sources) {
            const std::string target = dir.File(name.substr(0, name.find('.')) + ".d3v");
            ASSERT_TRUE(name.rfind("ok", 0) == 0 || !testing::FileExists(target)) << target;
        }
    }
}

}  // namespace
}  // namespace vantrel
