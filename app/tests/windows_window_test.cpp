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
std::string OnDriveZ(const std::string& path) {
    std::string windows = "Z:" + path;
    std::replace(windows.begin(), windows.end(), '/', '\\');
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

// The list's file names, in its order.
std::vector<std::string> Names(const ProgramState& s) {
    std::vector<std::string> names;
    for (const Row& row : s.rows) names.push_back(row.name);
    return names;
}

// Each row described by its probe, and the panel too.
bool AllProbed(const ProgramState& s) {
    return !s.rows.empty() && s[kIdEncode].enabled && !s[kIdFrameRate].text.empty() &&
           std::all_of(s.rows.begin(), s.rows.end(), [](const Row& r) { return !r.duration.empty(); });
}

bool AllConverted(const ProgramState& s) {
    return !s.rows.empty() && s[kIdEncode].text == "Encode" &&
           std::all_of(s.rows.begin(), s.rows.end(),
                       [](const Row& r) { return r.state.rfind("Converted (", 0) == 0; });
}

// Adds `path` through OPEN, the chooser stood in for; the state once the
// list holds `rows` rows.
ProgramState AddThroughOpen(RunningProgram& program, const std::string& path, size_t rows) {
    program.Ask("choose " + path);
    Click(program.WaitFor([](const ProgramState&) { return true; })[kIdOpen]);
    return program.WaitFor([rows](const ProgramState& s) { return s.rows.size() == rows; });
}

// Keys for the list: the pointer rests on it below its rows, where a click
// gives it the keyboard without choosing a row, so that the keys reach it.
void InTheList(const ProgramState& s, const std::string& keys) {
    const Control& list = s[kIdSourceList];
    Xdotool("mousemove --sync " + std::to_string(list.x + list.width / 2) + " " +
            std::to_string(list.y + list.height - 8) + " click 1 key " + keys);
}

// Settings of the test's own in the registry, as an earlier run would have
// left them, written before the program starts and taken off afterwards.
// Wine's own reg.exe writes them, in the wine session the program runs in.
class RegistrySettings {
public:
    explicit RegistrySettings(const std::vector<std::pair<std::string, std::string>>& values)
        : key_("Software\\vantrel-tests\\" + own_.path().substr(own_.path().rfind('/') + 1)) {
        for (const auto& [name, value] : values) {
            EXPECT_EQ(Reg("add " + Quoted("HKCU\\" + key_) + " /v " + Quoted(name) + " /t REG_SZ /d " +
                          Quoted(value) + " /f"),
                      0)
                << name;
        }
    }
    ~RegistrySettings() { Reg("delete " + Quoted("HKCU\\" + key_) + " /f"); }
    RegistrySettings(const RegistrySettings&) = delete;

    // The program's environment setting that has it read these.
    std::string Environment() const { return "VANTREL_SETTINGS_KEY=" + key_; }

private:
    static int Reg(const std::string& arguments) {
        return std::system((VANTREL_SEAMED_RUNNER " reg " + arguments + " >/dev/null").c_str());
    }

    TempDir own_;  // a name no other test's key has
    std::string key_;
};

// What wine's accessibility layer tells a screen reader: each button and
// choice by its caption, each field by the caption before it. Wine answers
// nothing more: no roles but "client" and "text", and none of the names the
// window annotates on the bar, the list, the drop-down lists and the panel.
TEST(WindowsWindow, StartsWithEveryControlOfItsTemplateNamedAndEscCloses) {
    RunningProgram program;
    const ProgramState start = Shown(program);
    ExpectTemplateInPlace(start, 0, kConverterDialogTemplate);
    const auto& controls = kConverterDialogTemplate.controls;
    for (size_t i = 0; i < controls.size(); ++i) {
        const ControlTemplate& t = controls[i];
        SCOPED_TRACE("control " + std::to_string(t.id) + " \"" + std::string(t.text) + "\"");
        const Control& shown = start.windows.at(0).controls.at(i);
        if (t.controlClass == ControlClass::kButton && !t.Has(kStyleGroupBox)) {
            EXPECT_EQ(shown.accessibleName, WithoutMnemonicMark(t.text));
        }
        if (t.controlClass == ControlClass::kEdit) {
            EXPECT_EQ(shown.accessibleRole, "text");
            EXPECT_EQ(shown.accessibleName, WithoutMnemonicMark(controls[i - 1].text));
        }
    }
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
    ASSERT_EQ(probed.rows.size(), 1u);
    EXPECT_EQ(probed.rows[0].name, "Trip ü.mp4");
    EXPECT_EQ(probed.rows[0].duration, "2:00");
    EXPECT_EQ(probed.rows[0].state, "Waiting");
    EXPECT_TRUE(probed.rows[0].selected);

    Click(probed[kIdEncode]);
    ExpectRunToFillTheBar(program);
    const ProgramState ended = program.WaitFor([](const ProgramState& s) {
        return s.rows.size() == 1 && s.rows[0].state.rfind("Converted (", 0) == 0;
    });
    EXPECT_EQ(ended.rows[0].size + ")", ended.rows[0].state.substr(ended.rows[0].state.find('(') + 1));
    EXPECT_TRUE(IsHandheldMovie(dir.File("trip ü.d3v")));
    EXPECT_TRUE(ended[kIdClearFinished].enabled);
}

// Its preview drawn by ffmpeg.exe, as the Linux window's is.
TEST(WindowsWindow, ShowsTheSelectedMovieAsThePlayerWill) {
    TempDir dir;
    const std::string clip = MakeRedClipWithSubtitles(dir);
    ASSERT_FALSE(clip.empty());
    RunningProgram program({kEncoderOnPath}, OnDriveZ(clip));
    Shown(program);
    ExpectThePreviewOfTheRedClip(program);
}

// Exit, Esc and Alt+F4 (the close box's message) stop the run: its partial
// file goes, no ffmpeg.exe is left, and the program exits with 0.
TEST(WindowsWindow, ClosingMidRunStopsTheEncoderAndExits) {
    TempDir dir;
    // Two frames ten hours apart: ffmpeg makes the 12 frames a second
    // between them, a conversion that goes on until it is stopped.
    ASSERT_EQ(std::system(("ffmpeg -nostdin -v error -y -f lavfi -i testsrc2=s=320x240:r=1:d=2"
                           " -vf setpts=N*36000/TB -c:v libx264 -preset ultrafast -pix_fmt yuv420p"
                           " -vsync passthrough -f matroska file:" + Quoted(dir.File("endless.mkv"))).c_str()),
              0);
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
        Click(Open(program, OnDriveZ(dir.File("endless.mkv")), kIdDuration)[kIdEncode]);
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

// The list as a user works it: a row chosen with the keys shows in the panel;
// Delete and Remove take the chosen rows off; Clear Finished the converted.
TEST(WindowsWindow, RowsAreChosenWithTheKeysAndTakenOffByDeleteRemoveAndClearFinished) {
    TempDir dir;
    fs::create_directory(PathOf(dir.File("clips")));
    for (const char* name : {"a.mp4", "b.mp4", "c.mp4"}) ASSERT_TRUE(MakeClip(dir.File("clips/") + name, 1));
    // A folder, as the command line may name one: its movies in name order.
    RunningProgram program({kEncoderOnPath}, OnDriveZ(dir.File("clips")));
    Shown(program);
    const ProgramState probed = program.WaitFor(AllProbed);
    EXPECT_EQ(Names(probed), (std::vector<std::string>{"a.mp4", "b.mp4", "c.mp4"}));
    EXPECT_TRUE(probed.rows[0].selected && !probed.rows[1].selected && !probed.rows[2].selected);
    EXPECT_EQ(probed[kIdFileName].text, "a.mp4");
    EXPECT_TRUE(probed[kIdRemove].enabled);
    EXPECT_FALSE(probed[kIdClearFinished].enabled);

    InTheList(probed, "Home Down");
    const ProgramState second = program.WaitFor([](const ProgramState& s) {
        return s[kIdFileName].text == "b.mp4" && s.rows[1].selected;
    });
    EXPECT_FALSE(second.rows[0].selected || second.rows[2].selected);

    Xdotool("key Delete");
    const ProgramState deleted = program.WaitFor([](const ProgramState& s) { return s.rows.size() == 2; });
    EXPECT_EQ(Names(deleted), (std::vector<std::string>{"a.mp4", "c.mp4"}));

    // Home first: the row after the deleted one has the focus already, and
    // End alone would leave it unselected.
    Xdotool("key Home End");
    const ProgramState last = program.WaitFor([](const ProgramState& s) {
        return s[kIdFileName].text == "c.mp4" && s.rows.size() == 2 && s.rows[1].selected;
    });
    Click(last[kIdRemove]);
    const ProgramState removed = program.WaitFor([](const ProgramState& s) { return s.rows.size() == 1; });
    EXPECT_EQ(Names(removed), std::vector<std::string>{"a.mp4"});
    // The file the panel described has gone with its row.
    EXPECT_EQ(removed[kIdFileName].text, "");

    Click(removed[kIdEncode]);
    const ProgramState converted = program.WaitFor([](const ProgramState& s) {
        return AllConverted(s) && s[kIdClearFinished].enabled;
    });
    Click(converted[kIdClearFinished]);
    const ProgramState cleared = program.WaitFor([](const ProgramState& s) { return s.rows.empty(); });
    EXPECT_FALSE(cleared[kIdEncode].enabled || cleared[kIdRemove].enabled ||
                 cleared[kIdClearFinished].enabled);
    // Cleared from the list only: the converted file stays.
    EXPECT_TRUE(IsHandheldMovie(dir.File("clips/a.d3v")));
    EXPECT_FALSE(FileExists(dir.File("clips/b.d3v")) || FileExists(dir.File("clips/c.d3v")));
}

// Started as `vantrel.exe FILE FILE FOLDER`, as Explorer's "Open with" starts
// it for several, with "Save to" left on a folder by an earlier run: both
// files and the movie of the folder convert there, several at once, and
// nothing lands beside the sources. Back on "Beside each movie", the next
// file converts beside itself.
TEST(WindowsWindow, ConvertsEverySourceIntoTheSaveToFolderOrBesideEachMovie) {
    TempDir sources, saved;
    fs::create_directory(PathOf(sources.File("more")));
    for (const char* name : {"one.mp4", "two.mp4", "more/three.mp4", "four.mp4"}) {
        ASSERT_TRUE(MakeClip(sources.File(name), 2));
    }
    const RegistrySettings settings({{"save-to", "folder"},
                                     {"save-to-folder", OnDriveZ(saved.path())},
                                     {"simultaneous-conversions", "3"}});
    RunningProgram program({kEncoderOnPath, settings.Environment()},
                           std::vector<std::string>{OnDriveZ(sources.File("one.mp4")),
                                                    OnDriveZ(sources.File("two.mp4")),
                                                    OnDriveZ(sources.File("more"))});
    EXPECT_EQ(Shown(program)[kIdSaveTo].text, OnDriveZ(saved.path()));
    const ProgramState probed = program.WaitFor(AllProbed);
    EXPECT_EQ(Names(probed), (std::vector<std::string>{"one.mp4", "two.mp4", "three.mp4"}));

    Click(probed[kIdEncode]);
    const ProgramState converted = program.WaitFor(AllConverted);
    EXPECT_EQ(converted[kIdStatus].text.rfind("3 files converted", 0), 0u) << converted[kIdStatus].text;
    for (const char* name : {"one.d3v", "two.d3v", "three.d3v"}) {
        EXPECT_TRUE(IsHandheldMovie(saved.File(name)));
        EXPECT_FALSE(FileExists(sources.File(name)) || FileExists(sources.File("more/") + name)) << name;
    }

    // The drop-down list opens on a click; Home and Enter take its first line.
    Click(converted[kIdSaveTo]);
    Xdotool("key Home Return");
    program.WaitFor([](const ProgramState& s) { return s[kIdSaveTo].text == "Beside each movie"; });
    AddThroughOpen(program, OnDriveZ(sources.File("four.mp4")), 4);
    Click(program.WaitFor(AllProbed)[kIdEncode]);
    program.WaitFor(AllConverted);
    EXPECT_TRUE(IsHandheldMovie(sources.File("four.d3v")));
    EXPECT_FALSE(FileExists(saved.File("four.d3v")));
}


// "From" typed and Enter, which applies it rather than pressing Encode; then
// "Shut down" when done: its notice counts on the window's timer until Cancel
// keeps the computer on; then "Quit" when done closes the program. (Wine's
// power functions are not called: a cancelled notice asks nothing.)
TEST(WindowsWindow, FromAppliesOnEnterAndTheNoticeIsCancelledAndQuitCloses) {
    TempDir dir;
    ASSERT_TRUE(MakeClip(dir.File("clip.mp4"), 4));
    // Long enough for the test to see the notice and click Cancel.
    RegistrySettings settings(std::vector<std::pair<std::string, std::string>>{{"when-done-notice-seconds", "60"}});
    RunningProgram program({kEncoderOnPath, settings.Environment()}, OnDriveZ(dir.File("clip.mp4")));
    Shown(program);
    const ProgramState probed = program.WaitFor(AllProbed);
    ASSERT_TRUE(probed[kIdWhenDoneShutDown].enabled) << "wine lets a program shut the computer down";
    Click(probed[kIdTrimFrom]);
    Xdotool("type 0:01");
    Xdotool("key Return");
    const ProgramState part = program.WaitFor([](const ProgramState& s) { return s.rows.at(0).duration == "0:03"; });
    EXPECT_EQ(part.rows[0].state, "Waiting");
    EXPECT_EQ(part[kIdTrimFrom].text, "0:00:01");

    Click(part[kIdWhenDoneShutDown]);
    program.WaitFor([](const ProgramState& s) { return s[kIdWhenDoneShutDown].checked; });
    Click(part[kIdEncode]);
    const ProgramState notice = program.WaitFor([](const ProgramState& s) {
        return s[kIdStatus].text.starts_with("The computer will shut down in ") &&
               !s[kIdStatus].text.starts_with("The computer will shut down in 60 ");
    });
    EXPECT_EQ(notice[kIdEncode].text, "Cancel");
    // Away from where Encode was clicked: not a double click.
    const Control& cancel = notice[kIdEncode];
    Xdotool("mousemove --sync " + std::to_string(cancel.x + cancel.width / 5) + " " +
            std::to_string(cancel.y + cancel.height / 2) + " click 1");
    const ProgramState cancelled = program.WaitFor([](const ProgramState& s) { return s[kIdEncode].text == "Encode"; });
    EXPECT_TRUE(cancelled[kIdStatus].text.starts_with("Converted: clip.d3v")) << cancelled[kIdStatus].text;
    EXPECT_TRUE(IsHandheldMovie(dir.File("clip.d3v")));

    Click(cancelled[kIdWhenDoneQuit]);
    Click(cancelled[kIdClearFinished]);
    program.WaitFor([](const ProgramState& s) { return s.rows.empty() && s[kIdWhenDoneQuit].checked; });
    AddThroughOpen(program, OnDriveZ(dir.File("clip.mp4")), 1);
    Click(program.WaitFor(AllProbed)[kIdEncode]);
    EXPECT_EQ(program.WaitForExit(), 0);
}

}  // namespace
}  // namespace vantrel
