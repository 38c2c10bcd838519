// Random sequences of OPEN, quality, Encode, STOP, the UI thread catching up,
// and close, against the fake encoder. After every step the window shows one
// of its three states; after every sequence no process, zombie, descriptor or
// stray target is left.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "control_ids.h"
#include "converter_dialog.h"
#include "recording_window.h"
#include "test_support.h"

namespace vantrel {
namespace {

using Activity = ConverterDialog::Activity;

constexpr char kProbe[] =
    "say   Duration: 00:00:50.00, start: 0.000000, bitrate: 900 kb/s\\n\nprobe-exit\n";

// What the conversion does after the probe's lines. Only sources whose name
// starts with "ok" may leave a target behind.
const char* const kBehaviours[][2] = {
    {"ok-quick", "target 2048\n"},
    {"ok-chatty", "say frame= 1 time=00:00:10.00\\r\ntarget 2048\nsay frame= 3 time=00:00:49.00\\r\n"},
    {"talker", "target 2048\ntalk\n"},
    {"silent", "target 2048\nhang\n"},
    {"deaf", "ignore-term\ntarget 2048\nhang\n"},
    {"failer", "target 2048\nexit 1\n"},
    {"crasher", "target 2048\ncrash\n"},
};

// What the window shows must match what the logic is doing.
bool ShowsItsState(testing::RecordingWindow& window, const ConverterDialog& dialog) {
    const bool open = window.Enabled(kIdOpen), busy = window.Busy();
    const std::string encode = window.Text(kIdEncode);
    switch (dialog.activity()) {
        case Activity::kIdle: return open && !busy && encode != "STOP";
        case Activity::kProbing: return !open && busy && !window.Enabled(kIdEncode);
        case Activity::kConverting: return !open && !busy && encode == "STOP";
    }
    return false;
}

std::vector<std::string> StrayTargets(const std::string& folder) {
    std::vector<std::string> stray;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        if (entry.path().extension() == ".d3v" && name.rfind("ok", 0) != 0) stray.push_back(name);
    }
    return stray;
}

TEST(Soak, RandomSequencesLeaveNothingBehind) {
    const char* env = std::getenv("VANTREL_SOAK_SEQUENCES");
    const int sequences = env != nullptr ? std::atoi(env) : 1000;
    testing::TempDir dir;
    std::vector<std::string> sources;
    for (const auto& [name, script] : kBehaviours) {
        sources.push_back(dir.File(std::string(name) + ".avi"));
        testing::WriteFile(sources.back(), std::string(kProbe) + script);
    }
    sources.push_back(dir.File("notes.txt"));  // a name the rule refuses
    testing::WriteFile(sources.back(), kProbe);

    std::mt19937 random(20261206);
    const int fdsBefore = testing::OpenFileDescriptors();
    int encodes = 0, stops = 0;
    for (int sequence = 0; sequence < sequences; ++sequence) {
        SCOPED_TRACE("sequence " + std::to_string(sequence));
        testing::RecordingWindow window;
        auto dialog =
            std::make_unique<ConverterDialog>(window, testing::TestEncoderSetup(FAKE_ENCODER_PATH));
        dialog->OnInitDialog();
        for (int step = 1 + static_cast<int>(random() % 12); step > 0; --step) {
            const auto action = random() % 10;
            const Activity before = dialog->activity();
            if (action < 2) {
                window.AnswerNextChoice(sources[random() % sources.size()]);
                dialog->OnOpenSource();
            } else if (action < 3) {
                dialog->OnQuality(kQualities[random() % kQualities.size()].radioId);
            } else if (action < 6) {
                dialog->OnEncode();  // Encode, or STOP while converting
                encodes += before == Activity::kIdle && dialog->activity() == Activity::kConverting;
                stops += before == Activity::kConverting;
            } else {
                // The UI thread catches up with whatever the workers queued,
                // the end of a probe among it.
                ASSERT_TRUE(window.PumpUntil([&] { return dialog->activity() != Activity::kProbing; }));
            }
            ASSERT_TRUE(ShowsItsState(window, *dialog));
        }
        dialog->OnClose();
        window.Close();
        dialog.reset();
        ASSERT_TRUE(testing::ProcessesMentioning(dir.path()).empty());
        ASSERT_EQ(testing::ZombieChildren(), 0);
        ASSERT_EQ(StrayTargets(dir.path()), std::vector<std::string>{});
        ASSERT_EQ(testing::OpenFileDescriptors(), fdsBefore);
    }
    std::printf("soak: %d conversions started, %d stopped\n", encodes, stops);
    // The mix must really exercise conversions and stops.
    EXPECT_GT(encodes, sequences / 8);
    EXPECT_GT(stops, sequences / 40);
}

}  // namespace
}  // namespace vantrel
