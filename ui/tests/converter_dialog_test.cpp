// The window's logic with the fake encoder, the test's thread playing the UI
// thread: OPEN, the probe off the UI thread, Encode and STOP as the user sees them.
#include "converter_dialog.h"

#include <gtest/gtest.h>

#include "control_ids.h"
#include "recording_window.h"
#include "test_support.h"

namespace vantrel {
namespace {

using Activity = ConverterDialog::Activity;

constexpr char kDescription[] =
    "say   Duration: 00:00:50.00, start: 0.000000, bitrate: 900 kb/s\\n\n"
    "say     Stream #0:0: Video: h264 (High), yuv420p, 640x480, 25 fps\\n\n";

class DialogTest : public ::testing::Test {
protected:
    DialogTest() { dialog.OnInitDialog(); }
    ~DialogTest() override {
        dialog.OnClose();
        window.Close();
    }
    std::string Source(const std::string& name, const std::string& script) {
        testing::WriteFile(dir.File(name), script);
        return dir.File(name);
    }
    void Open(const std::string& path) {
        window.AnswerNextChoice(path);
        dialog.OnOpenSource();
    }
    bool Idle() {
        return window.PumpUntil([&] { return dialog.activity() == Activity::kIdle; });
    }

    testing::TempDir dir;
    testing::RecordingWindow window;
    ConverterDialog dialog{window, testing::TestEncoderSetup(FAKE_ENCODER_PATH)};
};

TEST_F(DialogTest, OpenDescribesTheSourceAndEncodeConverts) {
    const std::string source = Source("Trip.AVI", std::string(kDescription) + "target 2048\n");
    Open(source);
    ASSERT_TRUE(Idle());
    EXPECT_EQ(window.Text(kIdFileName), "Trip.AVI");
    EXPECT_EQ(window.Text(kIdDuration), "00:00:50.00");
    EXPECT_EQ(window.Text(kIdPictureSize), "640x480");
    EXPECT_TRUE(window.Enabled(kIdEncode));
    dialog.OnQuality(kIdQualityHighest);
    dialog.OnEncode();
    EXPECT_EQ(window.Text(kIdEncode), "STOP");
    EXPECT_FALSE(window.Enabled(kIdOpen));
    ASSERT_TRUE(Idle());
    EXPECT_EQ(window.Text(kIdEncode), "Encode");
    EXPECT_EQ(window.Posts().back(), 100000);
    EXPECT_TRUE(window.Messages().empty());
    EXPECT_EQ(testing::ReadFile(dir.File("trip.d3v")).size(), 2048u);
}

TEST_F(DialogTest, FailuresAreToldWithTheSource) {
    const std::string undecodable = Source("notes.avi", "say Input #0, avi\\n\n");
    Open(undecodable);
    ASSERT_TRUE(Idle());
    dialog.OnEncode();  // inert without a duration
    EXPECT_EQ(dialog.activity(), Activity::kIdle);
    const std::string failing = Source("bad.avi", std::string(kDescription) + "exit 1\n");
    Open(failing);
    ASSERT_TRUE(Idle());
    dialog.OnEncode();
    ASSERT_TRUE(window.PumpUntil([&] { return window.Messages().size() == 2; }));
    EXPECT_EQ(window.Messages(),
              (std::vector<std::string>{"Unable to decode source video\r\n\r\n" + undecodable,
                                        "Conversion Failed\r\n\r\n" + failing}));
}

// A named pipe or a stalled mount keeps ffmpeg waiting for ever.
TEST_F(DialogTest, AProbeThatNeverEndsLeavesTheWindowUsableAndCloseStopsIt) {
    Open(Source("stalled.avi", "say Input #0, avi\\n\nhang\n"));
    EXPECT_EQ(dialog.activity(), Activity::kProbing);
    EXPECT_TRUE(window.Busy());
    EXPECT_FALSE(window.Enabled(kIdOpen));
    EXPECT_FALSE(window.Enabled(kIdEncode));
    dialog.OnClose();
    EXPECT_FALSE(window.Busy());
    EXPECT_TRUE(testing::ProcessesMentioning(dir.path()).empty());
}

// The run has ended, but the UI thread has not yet heard: the button still
// says STOP, and a click on it must not start a run over the finished file.
TEST_F(DialogTest, AClickThatLandsAsARunEndsStartsNothing) {
    Open(Source("trip.avi", std::string(kDescription) + "target 2048\n"));
    ASSERT_TRUE(Idle());
    dialog.OnEncode();
    ASSERT_TRUE(window.WaitForQueuedAction());
    dialog.OnEncode();
    EXPECT_EQ(dialog.activity(), Activity::kIdle);
    ASSERT_TRUE(Idle());
    EXPECT_EQ(window.Text(kIdEncode), "Encode");
    EXPECT_EQ(testing::ReadFile(dir.File("trip.d3v")).size(), 2048u);
    EXPECT_TRUE(testing::ProcessesMentioning(dir.path()).empty());
}

}  // namespace
}  // namespace vantrel
