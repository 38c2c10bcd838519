// Random sequences of OPEN, quality, Encode, STOP and close against the fake
// encoder at random speeds. After every step the window must settle in one of
// its two states; after every sequence no process, zombie, descriptor or stray
// target may be left.
#include <gtest/gtest.h>

#include <dirent.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "control_ids.h"
#include "converter_dialog.h"
#include "recording_window.h"
#include "test_support.h"

namespace vantrel {
namespace {

using testing::RecordingWindow;
using testing::TempDir;
using testing::WriteFile;

const char kProbe[] =
    "say   Duration: 00:00:50.00, start: 0.000000, bitrate: 900 kb/s\\n\nprobe-exit\n";

// What the conversion does after the probe's lines. Sources whose name starts
// with "ok" are the only ones that may leave a target behind.
struct Behaviour {
    const char* name;
    const char* script;
};
const Behaviour kBehaviours[] = {
    {"ok-quick", "target 2048\n"},
    {"ok-chatty", "say frame= 1 time=00:00:10.00\\r\nsay frame= 2 time=00:00:20.00\\r\n"
                  "target 2048\nsay frame= 3 time=00:00:49.00\\r\n"},
    {"talker", "target 2048\ntalk\n"},
    {"silent", "target 2048\nhang\n"},
    {"deaf", "ignore-term\ntarget 2048\nhang\n"},
    {"failer", "target 2048\nexit 1\n"},
    {"crasher", "target 2048\ncrash\n"},
    {"empty", "target 0\n"},
};

// Aborts the test program if a step does not return within its bound: a
// deadlock must fail loudly, not hang the suite.
class Watchdog {
public:
    Watchdog() : thread_([this] { Watch(); }) {}
    ~Watchdog() {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            done_ = true;
        }
        changed_.notify_all();
        thread_.join();
    }
    void Arm(const std::string& step) {
        std::lock_guard<std::mutex> lock(mutex_);
        step_ = step;
        ++generation_;
        changed_.notify_all();
    }

private:
    void Watch() {
        std::unique_lock<std::mutex> lock(mutex_);
        while (!done_) {
            const uint64_t seen = generation_;
            if (!changed_.wait_for(lock, std::chrono::seconds(60),
                                   [&] { return done_ || generation_ != seen; })) {
                std::fprintf(stderr, "step did not end: %s\n", step_.c_str());
                std::abort();
            }
        }
    }
    std::mutex mutex_;
    std::condition_variable changed_;
    std::string step_;
    uint64_t generation_ = 0;
    bool done_ = false;
    std::thread thread_;
};

bool InASpecState(RecordingWindow& window) {
    return window.WaitUntil([&] {
        const std::string text = window.Text(kIdEncode);
        const bool open = window.Enabled(kIdOpen);
        return (text == "Encode" && open) || (text == "STOP" && !open);
    });
}

std::vector<std::string> StrayTargets(const std::string& folder) {
    std::vector<std::string> stray;
    DIR* d = ::opendir(folder.c_str());
    while (dirent* e = d != nullptr ? ::readdir(d) : nullptr) {
        const std::string name = e->d_name;
        if (name.size() > 4 && name.compare(name.size() - 4, 4, ".d3v") == 0 &&
            name.rfind("ok", 0) != 0) {
            stray.push_back(name);
        }
    }
    if (d != nullptr) ::closedir(d);
    return stray;
}

TEST(Soak, RandomSequencesLeaveNothingBehind) {
    const char* env = std::getenv("VANTREL_SOAK_SEQUENCES");
    const int sequences = env != nullptr ? std::atoi(env) : 1000;
    TempDir dir;
    std::vector<std::string> sources;
    for (const Behaviour& b : kBehaviours) {
        sources.push_back(dir.File(std::string(b.name) + ".avi"));
        WriteFile(sources.back(), std::string(kProbe) + b.script);
    }
    // A name the rule refuses, to mix rejected OPENs in.
    sources.push_back(dir.File("notes.txt"));
    WriteFile(sources.back(), kProbe);

    std::mt19937 random(20261206);
    Watchdog watchdog;
    const int fdsBefore = testing::OpenFileDescriptors();
    int steps = 0, encodes = 0, stops = 0;
    for (int sequence = 0; sequence < sequences; ++sequence) {
        RecordingWindow window;
        auto dialog =
            std::make_unique<ConverterDialog>(window, testing::TestEncoderSetup(FAKE_ENCODER_PATH));
        dialog->OnInitDialog();
        const int length = 1 + static_cast<int>(random() % 12);
        for (int step = 0; step < length; ++step) {
            const auto action = random() % 10;
            watchdog.Arm("sequence " + std::to_string(sequence) + " action " +
                         std::to_string(action));
            if (action < 3) {
                const std::string& source = sources[random() % sources.size()];
                window.AnswerNextChoice(random() % 8 == 0 ? std::nullopt
                                                          : std::optional<std::string>(source));
                dialog->OnOpenSource();
            } else if (action < 4) {
                switch (random() % 4) {
                    case 0: dialog->OnQualityLowest(); break;
                    case 1: dialog->OnQualityMediumLo(); break;
                    case 2: dialog->OnQualityMediumHi(); break;
                    default: dialog->OnQualityHighest(); break;
                }
            } else {
                const bool wasConverting = dialog->converting();
                dialog->OnEncode();  // Encode, or STOP while converting
                if (wasConverting) {
                    ++stops;
                } else if (dialog->converting()) {
                    ++encodes;
                }
            }
            ++steps;
            ASSERT_TRUE(InASpecState(window)) << "sequence " << sequence << " step " << step;
            ASSERT_EQ(window.Text(kIdEncode) == "STOP", dialog->converting());
        }
        watchdog.Arm("closing sequence " + std::to_string(sequence));
        dialog->OnClose();
        dialog.reset();
        window.Seal();
        ASSERT_EQ(window.CallsAfterSeal(), 0);
        ASSERT_TRUE(testing::ProcessesMentioning(dir.path()).empty()) << "sequence " << sequence;
        ASSERT_EQ(testing::ZombieChildren(), 0) << "sequence " << sequence;
        ASSERT_EQ(StrayTargets(dir.path()), std::vector<std::string>{}) << "sequence " << sequence;
        ASSERT_EQ(testing::OpenFileDescriptors(), fdsBefore) << "sequence " << sequence;
    }
    std::printf("soak: %d sequences, %d steps, %d conversions started, %d stopped\n", sequences,
                steps, encodes, stops);
    // The mix must really exercise conversions and stops.
    EXPECT_GT(encodes, sequences / 2);
    EXPECT_GT(stops, sequences / 10);
}

}  // namespace
}  // namespace vantrel
