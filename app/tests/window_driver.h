// Drives the real program in a real window on a display of its own (Xvfb),
// with real mouse clicks and key presses, and reads it through the test seam
// of its test build: seamed_vantrel.cpp on Linux, seamed_vantrel_windows.cpp
// under wine, whose windows are X windows too. The seam's commands are the
// same on both.
#pragma once

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <functional>
#include <sstream>
#include <stdexcept>
#include <utility>

#include "conversion/output_format.h"
#include "ui/control_ids.h"
#include "ui/dialog_templates.h"
#include "ui/mnemonic_mark.h"
#include "tests/support/test_support.h"

namespace vantrel::testing {

struct Control {
    int id = 0;  // the template's
    bool enabled = false, checked = false;
    int x = 0, y = 0, width = 0, height = 0;  // on the screen
    std::string text;
    std::vector<std::string> choices;  // a drop-down list's entries, where the seam tells them
    std::string tooltip;               // where the seam tells it
    int neededWidth = 0;               // for its text whole, where the seam tells it
    std::string accessibleRole, accessibleName;  // as a screen reader hears it, where the seam tells it
};

// A column of the main window's list.
struct Column {
    int width = 0, neededWidth = 0;
    std::string header;
};

struct Window {
    std::string title;
    std::vector<Control> controls;
};

// A row of the main window's list of files.
struct Row {
    bool selected = false;
    std::string name, savedAs, duration, size, state;
};

// The main window's preview of the selected movie.
struct Preview {
    bool shown = false;       // a frame, not blank
    int width = 0, height = 0;  // of its picture, in physical pixels
    std::array<int, 3> middle{}, top{};  // RGB at its middle, and at the middle of its top sixteenth
};

struct ProgramState {
    std::vector<Window> windows;  // the top-level ones, the main one first
    std::vector<Row> rows;        // the main window's list, in its order
    std::vector<Column> columns;  // where the seam tells them
    bool menuOpened = false;
    std::vector<int> progress;  // every position the bar has taken
    Preview preview;

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
    // `environment` holds "NAME=value" settings for the program, `arguments`
    // the words of its command line after its name. Its settings
    // (a file on Linux, a registry key under wine) are its own unless the
    // environment names others. The build names the program, and for
    // Windows the runner that starts it under wine.
    explicit RunningProgram(std::vector<std::string> environment = {},
                            const std::string& argument = {})
        : RunningProgram(std::move(environment), std::vector<std::string>{argument}) {}
    RunningProgram(std::vector<std::string> environment, const std::vector<std::string>& arguments) {
        const std::string own = config_.path().substr(config_.path().rfind('/') + 1);
        environment.insert(environment.begin(), {"XDG_CONFIG_HOME=" + config_.path(),
                                                 "VANTREL_SETTINGS_KEY=Software\\vantrel-tests\\" + own});
        std::vector<std::string> words = {VANTREL_SEAMED_RUNNER, VANTREL_SEAMED_PROGRAM};
        words.insert(words.end(), arguments.begin(), arguments.end());
        words.erase(std::remove(words.begin(), words.end(), std::string()), words.end());
        std::vector<char*> argv;
        for (std::string& word : words) argv.push_back(word.data());
        argv.push_back(nullptr);
        int in[2], out[2];
        if (::pipe2(in, O_CLOEXEC) != 0 || ::pipe2(out, O_CLOEXEC) != 0 || (pid_ = ::fork()) < 0) {
            return;
        }
        if (pid_ == 0) {
            ::dup2(in[0], 0);
            ::dup2(out[1], 1);
            for (std::string& setting : environment) ::putenv(setting.data());
            ::execv(argv[0], argv.data());
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
        ProgramState s;
        for (int asked = 0; asked < 5000; ++asked) {
            s = {};
            for (const std::string& line : Ask("state")) {
                std::istringstream in(line);
                std::string kind;
                in >> kind;
                const std::string text = line.substr(line.find('\t') + 1);
                if (kind == "window") s.windows.push_back({text, {}});
                if (kind == "row") {
                    Row& row = s.rows.emplace_back();
                    std::istringstream cells(text);
                    in >> row.selected;
                    for (std::string* cell : {&row.name, &row.savedAs, &row.duration, &row.size, &row.state}) {
                        std::getline(cells, *cell, '\t');
                    }
                }
                if (kind == "choices" && line.find('\t') != std::string::npos && !s.windows.empty() &&
                    !s.windows.back().controls.empty()) {
                    std::istringstream entries(text);
                    for (std::string entry; std::getline(entries, entry, '\t');) {
                        s.windows.back().controls.back().choices.push_back(entry);
                    }
                }
                if (kind == "tooltip" && !s.windows.empty() && !s.windows.back().controls.empty()) {
                    s.windows.back().controls.back().tooltip = text;
                }
                if (kind == "needs" && !s.windows.empty() && !s.windows.back().controls.empty()) {
                    in >> s.windows.back().controls.back().neededWidth;
                }
                if (kind == "access" && !s.windows.empty() && !s.windows.back().controls.empty()) {
                    Control& c = s.windows.back().controls.back();
                    std::getline(in >> std::ws, c.accessibleRole, '\t');
                    c.accessibleName = line.find('\t') == std::string::npos ? "" : text;
                }
                if (kind == "column") {
                    Column& column = s.columns.emplace_back();
                    in >> column.width >> column.neededWidth;
                    column.header = text;
                }
                if (kind == "menu") in >> s.menuOpened;
                for (int p; kind == "progress" && in >> p;) s.progress.push_back(p);
                if (kind == "preview") {
                    Preview& p = s.preview;
                    in >> p.shown >> p.width >> p.height;
                    for (int& c : p.middle) in >> c;
                    for (int& c : p.top) in >> c;
                }
                if (kind != "control") continue;
                Control& c = s.windows.back().controls.emplace_back();
                in >> c.id >> c.enabled >> c.checked >> c.x >> c.y >> c.width >>
                    c.height;
                c.text = text;
            }
            if (condition(s)) return s;
            ::usleep(20000);  // paces the asking only: the answer, not the pause, decides
        }
        // What the window showed last, to tell why.
        std::string last = "gave up waiting for the window; it showed " +
                           std::to_string(s.windows.size()) + " window(s)";
        for (const Row& row : s.rows) last += "\n  row " + row.name + " | " + row.state;
        throw std::runtime_error(last);
    }

    void Signal(int signal) { ::kill(pid_, signal); }
    int pid() const { return pid_; }

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

inline void Xdotool(const std::string& arguments) {
    EXPECT_EQ(std::system(("xdotool " + arguments).c_str()), 0) << arguments;
}

inline void Click(const Control& c) {
    Xdotool("mousemove --sync " + std::to_string(c.x + c.width / 2) + " " +
            std::to_string(c.y + c.height / 2) + " click 1");
}

// The main template's control `id`.
inline const ControlTemplate& MainTemplateControl(int id) {
    for (const ControlTemplate& c : kConverterDialogTemplate.controls) {
        if (c.id == id) return c;
    }
    throw std::out_of_range("no control " + std::to_string(id) + " in the template");
}

// Every control of the template in `window`, in order, at its place. A
// picture lies in its room; how its picture fills it is the view's to say.
inline void ExpectTemplateInPlace(const ProgramState& s, size_t window, const DialogTemplate& dialog) {
    // Dialog units in pixels, measured over the main window's long distances:
    // from the progress bar to OPEN.
    const ControlTemplate &open = MainTemplateControl(kIdOpen), &bar = MainTemplateControl(kIdProgress);
    const double perX = (s[kIdOpen].x - s[kIdProgress].x) / static_cast<double>(open.x - bar.x);
    const double perY = (s[kIdProgress].y - s[kIdOpen].y) / static_cast<double>(bar.y - open.y);
    EXPECT_GT(std::min(perX, perY), 1.0);
    EXPECT_EQ(s.windows.at(window).title, dialog.caption);
    const std::vector<Control>& controls = s.windows[window].controls;
    ASSERT_EQ(controls.size(), dialog.controls.size());
    for (size_t i = 0; i < controls.size(); ++i) {
        const ControlTemplate &t = dialog.controls[i], &first = dialog.controls[0];
        const Control& c = controls[i];
        SCOPED_TRACE("control " + std::to_string(i + 1) + " \"" + std::string(t.text) + "\"");
        EXPECT_EQ(c.id, t.id);
        // A drop-down list shows its choice, "Save to"'s and Subtitles'
        // first ones; the toolkit decides how tall it is closed, and how
        // tall a field to type in is.
        const bool choice = t.controlClass == ControlClass::kChoice;
        const bool ownHeight = choice || t.controlClass == ControlClass::kEdit;
        EXPECT_EQ(c.text, t.controlClass == ControlClass::kProgress ? ""
                          : t.id == kIdSubtitles                    ? "Auto"
                          : choice                                  ? "Beside each movie"
                          : t.Has(kStyleNoPrefix)                   ? std::string(t.text)
                                                                    : WithoutMnemonicMark(t.text));
        // With an empty list there is nothing to encode, take off, choose
        // subtitles for or take a part of. Whether the computer may sleep or
        // shut down is the system's to say.
        if (t.id != kIdWhenDoneSleep && t.id != kIdWhenDoneShutDown) {
            EXPECT_EQ(c.enabled, t.id != kIdEncode && t.id != kIdRemove && t.id != kIdClearFinished &&
                                     t.id != kIdSubtitles && t.id != kIdTrimFrom && t.id != kIdTrimTo);
        }
        EXPECT_EQ(c.checked, t.id == kIdQualityMediumLo || t.id == kIdPictureFit || t.id == kIdWhenDoneNothing);
        if (t.controlClass == ControlClass::kPicture) {
            EXPECT_GE(c.x - controls[0].x, (t.x - first.x) * perX - 2.0);
            EXPECT_GE(c.y - controls[0].y, (t.y - first.y) * perY - 2.0);
            EXPECT_LE(c.x - controls[0].x + c.width, (t.x - first.x + t.width) * perX + 2.0);
            EXPECT_LE(c.y - controls[0].y + c.height, (t.y - first.y + t.height) * perY + 2.0);
            // The player's frame pixel for pixel, at the largest whole
            // multiple that its room holds (the test's screens have one
            // physical pixel to the toolkit's).
            const Preview& p = s.preview;
            const int times = p.width / kPlayerFormat.width;
            EXPECT_TRUE(times >= 1 && p.width == times * kPlayerFormat.width &&
                        p.height == times * kPlayerFormat.height)
                << p.width << "x" << p.height;
            EXPECT_TRUE((times + 1) * kPlayerFormat.width > t.width * perX ||
                        (times + 1) * kPlayerFormat.height > t.height * perY);
            EXPECT_FALSE(p.shown);
            continue;
        }
        EXPECT_NEAR(c.x - controls[0].x, (t.x - first.x) * perX, 2.0);
        EXPECT_NEAR(c.width, t.width * perX, 2.0);
        if (!ownHeight) {
            EXPECT_NEAR(c.y - controls[0].y, (t.y - first.y) * perY, 2.0);
            EXPECT_NEAR(c.height, t.height * perY, 2.0);
        }
    }
}

inline ProgramState WaitForWindows(RunningProgram& program, size_t count) {
    return program.WaitFor([count](const ProgramState& s) { return s.windows.size() == count; });
}

// Moves the pointer inside the information frame where no control is (at
// its top right, right of the bitrate and above the preview), so that keys
// go to the window, and does `then` there.
inline void AtEmptyPanel(const ProgramState& s, const std::string& then) {
    const Control frame = s.windows[0].controls[5];
    Xdotool("mousemove --sync " + std::to_string(frame.x + frame.width * 19 / 20) + " " +
                     std::to_string(frame.y + frame.height / 12) + " " + then);
}

// Opens `path` through OPEN, the chooser stood in for; the state once the
// probe has filled `field`.
inline ProgramState Open(RunningProgram& program, const std::string& path, int field) {
    const ProgramState start = WaitForWindows(program, 1);
    program.Ask("choose " + path);
    Click(start[kIdOpen]);
    return program.WaitFor(
        [field](const ProgramState& s) { return s[kIdEncode].enabled && !s[field].text.empty(); });
}

// Waits for a started run to end by itself: the bar full, which it is only
// once the run is over, and the buttons back to idle after it. On the way the
// bar must have stood between empty and full.
inline void ExpectRunToFillTheBar(RunningProgram& program) {
    const std::vector<int> bar = program.WaitFor([](const ProgramState& s) {
        return !s.progress.empty() && s.progress.back() == kProgressRange &&
               s[kIdEncode].text == "Encode" && s[kIdOpen].enabled;
    }).progress;
    EXPECT_TRUE(std::any_of(bar.begin(), bar.end(), [](int p) { return p > 0 && p < kProgressRange; }))
        << "the bar never stood between empty and full";
}

// A red 16:9 clip of 3 s, clip.mp4 in `dir`, with its subtitles beside it
// (clip.srt): its path, or empty when ffmpeg could not make it.
inline std::string MakeRedClipWithSubtitles(const TempDir& dir) {
    WriteFile(dir.File("clip.srt"), "1\n00:00:00,000 --> 00:00:03,000\nHello\n");
    const int made = std::system(("ffmpeg -nostdin -v error -y -f lavfi -i color=c=red:s=640x360:r=25:d=3"
                                  " -f lavfi -i sine -t 3 -c:v libx264 -preset ultrafast -pix_fmt yuv420p"
                                  " -c:a aac -f mp4 file:" + Quoted(dir.File("clip.mp4"))).c_str());
    return made == 0 ? dir.File("clip.mp4") : std::string();
}

// The program, started with that clip, shows it as the player will: on
// black bars with Fit, over the whole frame once Stretch is clicked, at the
// player's size. The panel says what is converted of it.
inline void ExpectThePreviewOfTheRedClip(RunningProgram& program) {
    const auto red = [](const std::array<int, 3>& c) { return c[0] > 200 && c[1] < 50 && c[2] < 50; };
    const auto black = [](const std::array<int, 3>& c) { return c[0] < 30 && c[1] < 30 && c[2] < 30; };
    const ProgramState fit = program.WaitFor([](const ProgramState& s) { return s.preview.shown; });
    EXPECT_EQ(fit.preview.width, kPlayerFormat.width);
    EXPECT_EQ(fit.preview.height, kPlayerFormat.height);
    EXPECT_TRUE(red(fit.preview.middle));
    EXPECT_TRUE(black(fit.preview.top));
    EXPECT_EQ(fit[kIdSubtitles].text, "Auto");
    EXPECT_TRUE(fit[kIdSubtitles].enabled);
    EXPECT_EQ(fit[kIdSubtitlesDrawn].text, "clip.srt");
    EXPECT_EQ(fit[kIdSound].text, "mono");
    Click(fit[kIdPictureStretch]);
    const ProgramState stretched = program.WaitFor([&](const ProgramState& s) { return red(s.preview.top); });
    EXPECT_TRUE(stretched.preview.shown && red(stretched.preview.middle));
}

}  // namespace vantrel::testing
