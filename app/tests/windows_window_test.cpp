// vantrel.exe under wine, in a real window on a display of its own (Xvfb):
// wine shows Windows windows as X windows, so xdotool's clicks and keys reach
// the program as a user's would. The program is read through its seamed
// build (seamed_vantrel_windows.cpp); this driver is a Linux program that the
// cross build makes with the host's compiler.
#include "app/tests/window_driver.h"

namespace vantrel {
namespace {

using namespace testing;

// A Linux path as programs under wine name it: on drive Z:, the root.
std::string OnDriveZ(const std::string& path, char separator = '\\') {
    std::string windows = "Z:" + path;
    std::replace(windows.begin(), windows.end(), '/', separator);
    return windows;
}

// The real ffmpeg.exe 4.1, found where the program looks second: on its PATH.
const std::string kEncoderOnPath = "WINEPATH=" + OnDriveZ(VANTREL_WINDOWS_ENCODER_FOLDER);

// The main window, once X shows it: wine makes the X window after the
// Windows one, and a click or key sent before X shows it is lost.
ProgramState Shown(RunningProgram& program) {
    const ProgramState shown = WaitForWindows(program, 1);
    Xdotool("search --sync --onlyvisible --pid " + std::to_string(program.pid()));
    return shown;
}

TEST(WindowsWindow, StartsWithEveryControlOfItsTemplateAndEscCloses) {
    RunningProgram program;
    const ProgramState start = Shown(program);
    ExpectTemplateInPlace(start, 0, kConverterDialogTemplate);
    AtEmptyPanel(start, "key Escape");
    EXPECT_EQ(program.WaitForExit(), 0);
}

TEST(WindowsWindow, AboutBoxOpensFromTheSystemMenuAndCloses) {
    RunningProgram program;
    AtEmptyPanel(Shown(program), "key alt+space");
    program.WaitFor([](const ProgramState& s) { return s.menuOpened; });
    // The About entry ends the menu: one up from the first entry.
    Xdotool("key Up Return");
    const ProgramState about = WaitForWindows(program, 2);
    ExpectTemplateInPlace(about, 1, kAboutDialogTemplate);
    Click(about.windows[1].controls.at(3));
    WaitForWindows(program, 1);
}

// Started as `vantrel.exe FILE`, as Explorer's "Open with" does, with a name
// outside ASCII, which reaches the program through the wide command line.
TEST(WindowsWindow, ConvertsTheClipItIsStartedWithUsingTheRealEncoder) {
    TempDir dir;
    // Two minutes, so that ffmpeg reports its position on the way.
    ASSERT_TRUE(MakeClip(dir.File("Trip ü.mp4"), 120));
    RunningProgram program({kEncoderOnPath}, OnDriveZ(dir.File("Trip ü.mp4")));
    Shown(program);
    const ProgramState probed = program.WaitFor(
        [](const ProgramState& s) { return s[kIdEncode].enabled && !s[kIdFrameRate].text.empty(); });
    EXPECT_EQ(probed[kIdFileName].text, "Trip ü.mp4");

    Click(probed[kIdEncode]);
    ExpectRunToFillTheBar(program);
    EXPECT_TRUE(IsHandheldMovie(dir.File("trip ü.d3v")));
}

// Exit, Esc and Alt+F4 (the close box's message) stop the run: its partial
// file goes, no ffmpeg.exe is left, and the program exits with 0.
TEST(WindowsWindow, ClosingMidRunStopsTheEncoderAndExits) {
    TempDir dir;
    ASSERT_TRUE(MakeClip(dir.File("clip.mp4"), 1));
    // An ffmpeg playlist of the clip ten thousand times over: a conversion
    // that goes on until it is stopped. ffmpeg 4.1 finds the clip beside the
    // playlist only when the playlist's path is written with '/'.
    std::string playlist = "ffconcat version 1.0\n";
    for (int i = 0; i < 10000; ++i) playlist += "file clip.mp4\nduration 1\n";
    WriteFile(dir.File("endless.mp4"), playlist);
    const std::string folderName = dir.path().substr(dir.path().rfind('/') + 1);
    const std::pair<const char*, std::function<void(const ProgramState&)>> closings[] = {
        {"Exit", [](const ProgramState& s) { Click(s[kIdCancel]); }},
        {"Esc", [](const ProgramState& s) { AtEmptyPanel(s, "key Escape"); }},
        {"Alt+F4", [](const ProgramState& s) { AtEmptyPanel(s, "key alt+F4"); }},
    };
    for (const auto& [name, close] : closings) {
        SCOPED_TRACE(name);
        RunningProgram program({kEncoderOnPath});
        Shown(program);
        Click(Open(program, OnDriveZ(dir.File("endless.mp4"), '/'), kIdDuration)[kIdEncode]);
        const ProgramState running = program.WaitFor([](const ProgramState& s) {
            return !s.progress.empty() && s.progress.back() > 0;
        });
        // Written under its temporary name until complete.
        ASSERT_TRUE(FileExists(dir.File("endless.d3v.part")));
        close(running);
        EXPECT_EQ(program.WaitForExit(), 0);
        EXPECT_TRUE(ProcessesMentioning(folderName).empty());
        EXPECT_FALSE(FileExists(dir.File("endless.d3v")) || FileExists(dir.File("endless.d3v.part")));
    }
}

}  // namespace
}  // namespace vantrel
