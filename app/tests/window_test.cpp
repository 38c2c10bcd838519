// The real program in a real window on a display of its own (Xvfb), driven
// with real mouse clicks and key presses, and read through the test seam of
// its test build (seamed_vantrel.cpp).
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <sstream>
#include <stdexcept>
#include <utility>

#include "control_ids.h"
#include "dialog_templates.h"
#include "test_support.h"

namespace vantrel {
namespace testing {


struct Control {
    int id = 0;  // the template's
    bool enabled = false, checked = false;
    int x = 0, y = 0, width = 0, height = 0;  // on the screen
    std::string text;
};

struct Window {
    std::string title;
    std::vector<Control> controls;
};

struct ProgramState {
    std::vector<Window> windows;  // the top-level ones, the main one first
    bool menuOpened = false;
    std::vector<int> progress;  // every position the bar has taken

    // The main window's control with this template id.
    const Control& operator[](int id) const {
        for (const Control& c : windows.at(0).controls) {
            if (c.id == id) return c;
        }
        throw std::out_of_range("no control " + std::to_string(id));
    }
};

class RunningProgram {
public:
    // `environment` holds "NAME=value" settings for the program. Its settings
    // file is in a folder of its own unless XDG_CONFIG_HOME is given there.
    explicit RunningProgram(std::vector<std::string> environment = {},
                            const std::string& argument = {}) {
        environment.insert(environment.begin(), "XDG_CONFIG_HOME=" + config_.path());
        int in[2], out[2];
        if (::pipe2(in, O_CLOEXEC) != 0 || ::pipe2(out, O_CLOEXEC) != 0 || (pid_ = ::fork()) < 0) {
            return;
        }
        if (pid_ == 0) {
            ::dup2(in[0], 0);
            ::dup2(out[1], 1);
            for (std::string& setting : environment) ::putenv(setting.data());
            const char* first = argument.empty() ? nullptr : argument.c_str();
            ::execl(VANTREL_SEAMED_PROGRAM, VANTREL_SEAMED_PROGRAM, first, nullptr);
            ::_exit(127);
        }
        ::close(in[0]);
        ::close(out[1]);
        input_ = ::fdopen(in[1], "w");
        output_ = ::fdopen(out[0], "r");
        ::signal(SIGPIPE, SIG_IGN);  // a program that has gone just stops answering
    }
    ~RunningProgram() {
        std::fclose(input_);
        std::fclose(output_);
        if (pid_ > 0 && ::kill(pid_, SIGKILL) == 0) ::waitpid(pid_, nullptr, 0);
    }
    RunningProgram(const RunningProgram&) = delete;

    // Sends a command and reads the answer's lines. A program that does not
    // answer ends the test.
    std::vector<std::string> Ask(const std::string& command) {
        std::vector<std::string> answer;
        std::fprintf(input_, "%s\n", command.c_str());
        std::fflush(input_);
        for (char line[4096]; std::fgets(line, sizeof line, output_) != nullptr;) {
            line[std::strcspn(line, "\n")] = '\0';
            if (std::string(line) == "end") return answer;
            answer.push_back(line);
        }
        throw std::runtime_error("the program does not answer \"" + command + "\"");
    }

    // Asks for the state again until `condition` holds. Giving up, after a
    // generous count that only guards against a hang, ends the test.
    ProgramState WaitFor(const std::function<bool(const ProgramState&)>& condition) {
        for (int asked = 0; asked < 5000; ++asked) {
            ProgramState s;
            for (const std::string& line : Ask("state")) {
                std::istringstream in(line);
                std::string kind;
                in >> kind;
                const std::string text = line.substr(line.find('\t') + 1);
                if (kind == "window") s.windows.push_back({text, {}});
                if (kind == "menu") in >> s.menuOpened;
                for (int p; kind == "progress" && in >> p;) s.progress.push_back(p);
                if (kind != "control") continue;
                Control& c = s.windows.back().controls.emplace_back();
                in >> c.id >> c.enabled >> c.checked >> c.x >> c.y >> c.width >>
                    c.height;
                c.text = text;
            }
            if (condition(s)) return s;
            ::usleep(20000);  // paces the asking only: the answer, not the pause, decides
        }
        throw std::runtime_error("gave up waiting for the window");
    }

    void Signal(int signal) { ::kill(pid_, signal); }

    // The exit status, or 128 + the signal that ended the program.
    int WaitForExit() {
        int status = -1;
        ::waitpid(std::exchange(pid_, -1), &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }

private:
    TempDir config_;
    pid_t pid_ = -1;
    FILE* input_ = nullptr;
    FILE* output_ = nullptr;
};

void Xdotool(const std::string& arguments) {
    EXPECT_EQ(std::system(("xdotool " + arguments).c_str()), 0) << arguments;
}

void Click(const Control& c) {
    Xdotool("mousemove --sync " + std::to_string(c.x + c.width / 2) + " " +
            std::to_string(c.y + c.height / 2) + " click 1");
}

}  // namespace testing

namespace {

using testing::Control;
using testing::ProgramState;
using testing::RunningProgram;

// Every control of the template in `window`, in order, at its place.
void ExpectTemplateInPlace(const ProgramState& s, size_t window, const DialogTemplate& dialog) {
    // Dialog units in pixels, measured over the main window's long distances:
    // OPEN (x 260, y 10) and the progress bar (x 10, y 185).
    const double perX = (s[kIdOpen].x - s[kIdProgress].x) / 250.0;
    const double perY = (s[kIdProgress].y - s[kIdOpen].y) / 175.0;
    EXPECT_GT(std::min(perX, perY), 1.0);
    EXPECT_EQ(s.windows.at(window).title, dialog.caption);
    const std::vector<Control>& controls = s.windows[window].controls;
    ASSERT_EQ(controls.size(), dialog.controls.size());
    for (size_t i = 0; i < controls.size(); ++i) {
        const ControlTemplate &t = dialog.controls[i], &first = dialog.controls[0];
        const Control& c = controls[i];
        SCOPED_TRACE("control " + std::to_string(i + 1) + " \"" + std::string(t.text) + "\"");
        EXPECT_EQ(c.id, t.id);
        EXPECT_EQ(c.text, t.controlClass == ControlClass::kProgress ? "" : t.text);
        EXPECT_EQ(c.enabled, t.id != kIdEncode);
        EXPECT_EQ(c.checked, t.id == kIdQualityMediumLo || t.id == kIdPictureFit);
        EXPECT_NEAR(c.x - controls[0].x, (t.x - first.x) * perX, 2.0);
        EXPECT_NEAR(c.y - controls[0].y, (t.y - first.y) * perY, 2.0);
        EXPECT_NEAR(c.width, t.width * perX, 2.0);
        EXPECT_NEAR(c.height, t.height * perY, 2.0);
    }
}

ProgramState WaitForWindows(RunningProgram& program, size_t count) {
    return program.WaitFor([count](const ProgramState& s) { return s.windows.size() == count; });
}

// Moves the pointer inside the information frame where no control is, so
// that keys go to the window, and does `then` there.
void AtEmptyPanel(const ProgramState& s, const std::string& then) {
    const Control frame = s.windows[0].controls[5];
    testing::Xdotool("mousemove --sync " + std::to_string(frame.x + frame.width * 3 / 4) + " " +
                     std::to_string(frame.y + frame.height * 3 / 4) + " " + then);
}

// Opens `path` through OPEN, the chooser stood in for; the state once the
// probe has filled `field`.
ProgramState Open(RunningProgram& program, const std::string& path, int field) {
    const ProgramState start = WaitForWindows(program, 1);
    program.Ask("choose " + path);
    testing::Click(start[kIdOpen]);
    return program.WaitFor(
        [field](const ProgramState& s) { return s[kIdEncode].enabled && !s[field].text.empty(); });
}

TEST(Window, StartsWithEveryControlOfItsTemplate) {
    RunningProgram program;
    ExpectTemplateInPlace(WaitForWindows(program, 1), 0, kConverterDialogTemplate);
}

// The choices are kept in the settings file; one damaged, or holding choices
// that do not exist, starts the window with its defaults, and no message.
// Started again as `vantrel FILE` (a file manager's "Open with"), it opens FILE.
TEST(Window, RemembersItsChoicesAndOpensTheFileItIsStartedWith) {
    testing::TempDir config;
    const std::string home = "XDG_CONFIG_HOME=" + config.path();
    ASSERT_EQ(::mkdir(config.File("vantrel").c_str(), 0700), 0);
    testing::WriteFile(config.File("vantrel/vantrel.conf"), "quality=loudest\npicture\n[broken\n");
    RunningProgram first({home});
    const ProgramState damaged = WaitForWindows(first, 1);
    ASSERT_TRUE(damaged[kIdQualityMediumLo].checked && damaged[kIdPictureFit].checked);
    testing::Click(damaged[kIdQualityHighest]);
    testing::Click(damaged[kIdPictureStretch]);
    // Each choice is kept at once: the next start, while this one still runs, sees it.
    first.WaitFor([](const ProgramState& s) { return s[kIdPictureStretch].checked; });
    ASSERT_TRUE(testing::MakeClip(config.File("clip.mp4"), 1));
    RunningProgram second({home}, config.File("clip.mp4"));
    const ProgramState restarted = second.WaitFor([](const ProgramState& s) {
        return s.windows.size() == 1 && s[kIdEncode].enabled;
    });
    EXPECT_TRUE(restarted[kIdQualityHighest].checked && restarted[kIdPictureStretch].checked);
    EXPECT_EQ(restarted[kIdFileName].text, "clip.mp4");
}

TEST(Window, AboutBoxOpensFromTheContextMenuAndF1AndCloses) {
    RunningProgram program;
    AtEmptyPanel(WaitForWindows(program, 1), "click 3");
    program.WaitFor([](const ProgramState& s) { return s.menuOpened; });
    // The menu holds a separator, then the About entry, the only one to choose.
    testing::Xdotool("key Down Return");
    const ProgramState about = WaitForWindows(program, 2);
    ExpectTemplateInPlace(about, 1, kAboutDialogTemplate);
    testing::Click(about.windows[1].controls.at(3));

    AtEmptyPanel(WaitForWindows(program, 1), "key F1");
    EXPECT_EQ(WaitForWindows(program, 2).windows[1].title, kAboutDialogTemplate.caption);
    testing::Xdotool("key Escape");
    WaitForWindows(program, 1);
}

TEST(Window, ConvertsAGeneratedClipWithTheRealEncoder) {
    testing::TempDir dir;
    // Two minutes, so that ffmpeg reports its position on the way.
    ASSERT_TRUE(testing::MakeClip(dir.File("My Trip.mp4"), 120));
    RunningProgram program;
    const ProgramState probed = Open(program, dir.File("My Trip.mp4"), kIdFrameRate);
    EXPECT_EQ(probed[kIdFileName].text, "My Trip.mp4");
    EXPECT_EQ(probed[kIdFrameRate].text, "25 fps");

    testing::Click(probed[kIdEncode]);
    // The bar is full only once the run is over; the buttons return to idle after it.
    const std::vector<int> bar = program.WaitFor([](const ProgramState& s) {
        return !s.progress.empty() && s.progress.back() == kProgressRange &&
               s[kIdEncode].text == "Encode" && s[kIdOpen].enabled;
    }).progress;
    EXPECT_TRUE(std::any_of(bar.begin(), bar.end(), [](int p) { return p > 0 && p < kProgressRange; }))
        << "the bar never stood between empty and full";
    EXPECT_TRUE(testing::IsHandheldMovie(dir.File("my trip.d3v")));
}

// Exit, Esc and the signals that ask a program to end all close the window:
// the run stops, its partial file goes, and the program exits with 0.
TEST(Window, ClosingMidRunStopsTheEncoderAndExits) {
    const std::pair<const char*, std::function<void(RunningProgram&, const ProgramState&)>>
        closings[] = {
            {"Exit", [](RunningProgram&, const ProgramState& s) { testing::Click(s[kIdCancel]); }},
            {"Esc", [](RunningProgram&, const ProgramState& s) { AtEmptyPanel(s, "key Escape"); }},
            {"SIGTERM", [](RunningProgram& p, const ProgramState&) { p.Signal(SIGTERM); }},
            {"SIGINT", [](RunningProgram& p, const ProgramState&) { p.Signal(SIGINT); }},
            {"SIGHUP", [](RunningProgram& p, const ProgramState&) { p.Signal(SIGHUP); }},
        };
    for (const auto& [name, close] : closings) {
        SCOPED_TRACE(name);
        // The fake encoder, found as "ffmpeg" first on PATH, converts for ever.
        testing::TempDir dir;
        ASSERT_EQ(::symlink(FAKE_ENCODER_PATH, dir.File("ffmpeg").c_str()), 0);
        const std::string source = dir.File("clip.avi");
        // The probe stops at probe-exit; the conversion goes on to talk.
        testing::WriteFile(source,
                           "say   Duration: 00:00:50.00, start: 0.000000, bitrate: 900 kb/s\\n\n"
                           "probe-exit\ntarget 4096\ntalk\n");
        RunningProgram program({"PATH=" + dir.path() + ":" + std::getenv("PATH")});
        const ProgramState probed = Open(program, source, kIdDuration);
        testing::Click(probed[kIdEncode]);
        const ProgramState running = program.WaitFor([](const ProgramState& s) {
            return !s.progress.empty() && s.progress.back() > 0;
        });
        ASSERT_TRUE(testing::FileExists(dir.File("clip.d3v")));
        close(program, running);
        EXPECT_EQ(program.WaitForExit(), 0);
        EXPECT_TRUE(testing::ProcessesMentioning(dir.path()).empty());
        EXPECT_FALSE(testing::FileExists(dir.File("clip.d3v")));
    }
}

}  // namespace
}  // namespace vantrel
