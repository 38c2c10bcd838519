// The real program in a real window on a display of its own (Xvfb), driven
// with real mouse clicks and key presses, and read through its test seam.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

#include "control_ids.h"
#include "dialog_templates.h"
#include "running_program.h"
#include "test_support.h"

namespace vantrel {
namespace {

using testing::ClickAt;
using testing::ControlState;
using testing::ProgramState;
using testing::RunningProgram;
using testing::TempDir;

// The class the window uses for a template control.
std::string ExpectedClass(const ControlTemplate& t) {
    switch (t.controlClass) {
        case ControlClass::kButton:
            if (t.Has(kStyleGroupBox)) return "wxStaticBox";
            if (t.Has(kStyleAutoRadio)) return "wxRadioButton";
            return "wxButton";
        case ControlClass::kStatic:
            return t.Has(kStyleIcon) ? "wxStaticBitmap" : "wxStaticText";
        case ControlClass::kProgress:
            return "wxGauge";
    }
    return {};
}

std::optional<ProgramState> WaitForWindows(RunningProgram& program, size_t count) {
    return program.WaitFor([count](const ProgramState& s) { return s.windows.size() == count; });
}

// A point inside the information frame where no control is.
void PointAtEmptyPanel(const ProgramState& state, int button = 0) {
    const ControlState frame = state.ControlsOf(0)[5];
    const int x = frame.rect.x + frame.rect.width * 3 / 4;
    const int y = frame.rect.y + frame.rect.height * 3 / 4;
    if (button == 0) {
        testing::MoveTo(x, y);
    } else {
        ClickAt(x, y, button);
    }
}

TEST(Window, StartsWithEveryControlOfItsTemplate) {
    RunningProgram program(VANTREL_PROGRAM);
    const std::optional<ProgramState> state = WaitForWindows(program, 1);
    ASSERT_TRUE(state);
    EXPECT_EQ(state->windows[0].title, "Vantrel Video Converter");

    const std::vector<ControlState> controls = state->ControlsOf(0);
    ASSERT_EQ(controls.size(), kConverterDialogTemplate.controls.size());
    // Dialog units in pixels, measured over long distances: OPEN (x 260,
    // y 10) and the progress bar (x 10, y 175).
    const ControlState& open = *state->Control(kIdOpen);
    const ControlState& bar = *state->Control(kIdProgress);
    const double perX = (open.rect.x - bar.rect.x) / 250.0;
    const double perY = (bar.rect.y - open.rect.y) / 165.0;
    EXPECT_GT(perX, 1.0);
    EXPECT_GT(perY, 1.0);

    for (size_t i = 0; i < controls.size(); ++i) {
        const ControlTemplate& t = kConverterDialogTemplate.controls[i];
        const ControlState& c = controls[i];
        SCOPED_TRACE("control " + std::to_string(i + 1) + " \"" + std::string(t.text) + "\"");
        EXPECT_EQ(c.id, t.id);
        EXPECT_EQ(c.className, ExpectedClass(t));
        EXPECT_EQ(c.text, t.controlClass == ControlClass::kProgress ? "" : t.text);
        EXPECT_TRUE(c.shown);
        EXPECT_EQ(c.enabled, t.id != kIdEncode);
        EXPECT_NEAR(c.rect.x - bar.rect.x, (t.x - 10) * perX, 2.0);
        EXPECT_NEAR(c.rect.y - bar.rect.y, (t.y - 175) * perY, 2.0);
        EXPECT_NEAR(c.rect.width, t.width * perX, 2.0);
        EXPECT_NEAR(c.rect.height, t.height * perY, 2.0);
        if (t.Has(kStyleAutoRadio)) {
            EXPECT_EQ(c.checked, t.id == kIdQualityMediumLo ? "1" : "0");
        }
    }
    EXPECT_EQ(bar.value, "0");
    EXPECT_EQ(state->focus, std::to_string(kIdOpen));
}

TEST(Window, AboutBoxOpensFromTheContextMenuAndF1AndCloses) {
    RunningProgram program(VANTREL_PROGRAM);
    std::optional<ProgramState> state = WaitForWindows(program, 1);
    ASSERT_TRUE(state);

    PointAtEmptyPanel(*state, 3);
    ASSERT_TRUE(program.WaitFor([](const ProgramState& s) { return s.menuOpen; }));
    // The menu holds a separator, then the About entry, the only one to choose.
    testing::PressKeys("Down Return");
    state = WaitForWindows(program, 2);
    ASSERT_TRUE(state);
    EXPECT_EQ(state->windows[1].title, "About Vantrel Video Converter");
    const std::vector<ControlState> about = state->ControlsOf(1);
    ASSERT_EQ(about.size(), 4u);
    EXPECT_EQ(about[0].className, "wxStaticBitmap");
    EXPECT_EQ(about[1].text, "Vantrel Video Converter V1.1");
    EXPECT_EQ(about[2].text, "Copyright (C) 2026 Vantrel");
    EXPECT_EQ(about[3].text, "OK");
    EXPECT_EQ(about[3].id, kIdOk);

    testing::Click(about[3]);
    state = WaitForWindows(program, 1);
    ASSERT_TRUE(state);

    // F1 opens the same box; Esc closes it. Keys go where the pointer is.
    PointAtEmptyPanel(*state);
    testing::PressKeys("F1");
    state = WaitForWindows(program, 2);
    ASSERT_TRUE(state);
    EXPECT_EQ(state->windows[1].title, "About Vantrel Video Converter");
    testing::PressKeys("Escape");
    state = WaitForWindows(program, 1);
    ASSERT_TRUE(state);
    EXPECT_TRUE(state->Control(kIdOpen)->enabled);
}

struct ClosingCase {
    const char* name;
    std::function<void(const ProgramState&)> close;
};

TEST(Window, ExitAndEscEndTheProgramWithStatusZero) {
    const ClosingCase cases[] = {
        {"Exit", [](const ProgramState& s) { testing::Click(*s.Control(kIdCancel)); }},
        {"Esc",
         [](const ProgramState& s) {
             PointAtEmptyPanel(s);
             testing::PressKeys("Escape");
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RunningProgram program(VANTREL_PROGRAM);
        const std::optional<ProgramState> state = WaitForWindows(program, 1);
        ASSERT_TRUE(state);
        c.close(*state);
        EXPECT_EQ(program.WaitForExit(), 0);
    }
}

TEST(Window, ConvertsAGeneratedClipWithTheRealEncoder) {
    TempDir dir;
    // Two minutes, so the conversion lasts long enough for ffmpeg to report
    // its position on the way.
    const std::string source = dir.File("My Trip.AVI");
    ASSERT_EQ(std::system(("ffmpeg -v error -f lavfi -i testsrc2=size=640x480:rate=25:duration=120 "
                           "-f lavfi -i sine=frequency=440:duration=120 -c:v mpeg4 -q:v 10 "
                           "-c:a mp2 -y '" +
                           source + "'")
                              .c_str()),
              0);

    RunningProgram program(VANTREL_PROGRAM);
    std::optional<ProgramState> state = WaitForWindows(program, 1);
    ASSERT_TRUE(state);
    program.Choose(source);
    testing::Click(*state->Control(kIdOpen));
    state = program.WaitFor([](const ProgramState& s) {
        return s.Control(kIdEncode)->enabled && !s.Control(kIdFrameRate)->text.empty();
    });
    ASSERT_TRUE(state);
    EXPECT_EQ(state->Control(kIdFileName)->text, "My Trip.AVI");
    // AVI adds a frame's worth of audio: 00:02:00.01.
    EXPECT_EQ(state->Control(kIdDuration)->text.rfind("00:02:00.", 0), 0u)
        << state->Control(kIdDuration)->text;
    EXPECT_FALSE(state->Control(kIdBitrate)->text.empty());
    EXPECT_EQ(state->Control(kIdVideoCodec)->text.rfind("mpeg4", 0), 0u)
        << state->Control(kIdVideoCodec)->text;
    EXPECT_EQ(state->Control(kIdPictureSize)->text, "640x480");
    EXPECT_EQ(state->Control(kIdFrameRate)->text, "25 fps");

    testing::Click(*state->Control(kIdEncode));
    // The bar's last position is full only once the run is over; the buttons
    // return to idle after it.
    state = program.WaitFor([](const ProgramState& s) {
        return !s.progressHistory.empty() && s.progressHistory.back() == kProgressRange &&
               s.Control(kIdEncode)->text == "Encode" && s.Control(kIdOpen)->enabled;
    });
    ASSERT_TRUE(state);
    const std::vector<int>& bar = state->progressHistory;
    EXPECT_TRUE(std::any_of(bar.begin(), bar.end(), [](int p) {
        return p > 0 && p < kProgressRange;
    })) << "the bar never stood between empty and full";
    EXPECT_EQ(state->Control(kIdProgress)->value, std::to_string(kProgressRange));
    EXPECT_TRUE(state->messages.empty()) << state->messages.front();

    const std::string target = dir.File("my trip.d3v");
    EXPECT_TRUE(vantrel::testing::IsHandheldMovie(target));

    testing::Click(*state->Control(kIdCancel));
    EXPECT_EQ(program.WaitForExit(), 0);
}

TEST(Window, ClosingMidRunStopsTheEncoderAndExits) {
    // The fake encoder, found as "ffmpeg" first on PATH, converts for ever.
    TempDir dir;
    ASSERT_EQ(::symlink(FAKE_ENCODER_PATH, dir.File("ffmpeg").c_str()), 0);
    const std::string source = dir.File("clip.avi");
    testing::WriteFile(source,
                       "say   Duration: 00:00:50.00, start: 0.000000, bitrate: 900 kb/s\\n\n"
                       "say : No such file or directory\\n\nexit 1\n");
    RunningProgram program(VANTREL_PROGRAM, {"PATH=" + dir.path() + ":" + std::getenv("PATH")});
    std::optional<ProgramState> state = WaitForWindows(program, 1);
    ASSERT_TRUE(state);
    program.Choose(source);
    testing::Click(*state->Control(kIdOpen));
    state = program.WaitFor([](const ProgramState& s) {
        return s.Control(kIdEncode)->enabled && !s.Control(kIdDuration)->text.empty();
    });
    ASSERT_TRUE(state);

    testing::WriteFile(source, "target 4096\ntalk\n");
    testing::Click(*state->Control(kIdEncode));
    state = program.WaitFor([](const ProgramState& s) {
        return s.Control(kIdEncode)->text == "STOP" && !s.progressHistory.empty() &&
               s.progressHistory.back() > 0;
    });
    ASSERT_TRUE(state);
    ASSERT_TRUE(testing::FileExists(dir.File("clip.d3v")));

    PointAtEmptyPanel(*state);
    testing::PressKeys("Escape");
    EXPECT_EQ(program.WaitForExit(), 0);
    EXPECT_TRUE(testing::ProcessesMentioning(dir.path()).empty());
    EXPECT_FALSE(testing::FileExists(dir.File("clip.d3v")));
}

}  // namespace
}  // namespace vantrel
