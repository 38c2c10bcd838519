// The converter program running under the window tests, seen through its
// test seam (app/test_seam.h), and real input through xdotool.
#pragma once

#include <sys/types.h>

#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace vantrel::testing {

struct Rect {
    int x = 0, y = 0, width = 0, height = 0;
};

struct ControlState {
    int window = 0;  // index among the shown top-level windows; 0 is the main one
    int id = 0;      // the template's id; -1 for unaddressed controls
    std::string className;
    bool enabled = false;
    bool shown = false;
    std::string checked;  // "1"/"0" for radio buttons, "-" otherwise
    std::string value;    // the progress bar's position, "-" otherwise
    Rect rect;            // on the screen
    std::string text;
};

struct WindowState {
    std::string title;
    Rect rect;
};

struct ProgramState {
    std::vector<WindowState> windows;
    std::vector<ControlState> controls;
    bool menuOpen = false;
    std::string focus;  // template id of the focused control, or "none"
    std::vector<int> progressHistory;
    std::vector<std::string> messages;

    // The control with this id in the given window; null if there is none.
    const ControlState* Control(int id, int window = 0) const;
    std::vector<ControlState> ControlsOf(int window) const;
};

class RunningProgram {
public:
    // Starts the program with its test seam on, and with `environment`
    // ("NAME=value") in place of the test's own variables of the same names.
    explicit RunningProgram(const std::string& path,
                            const std::vector<std::string>& environment = {});
    // Kills the program if it is still running.
    ~RunningProgram();
    RunningProgram(const RunningProgram&) = delete;
    RunningProgram& operator=(const RunningProgram&) = delete;

    // Nothing if the program no longer answers.
    std::optional<ProgramState> State();
    void Choose(const std::string& path);

    // Asks for the state until `condition` holds. The bound only guards
    // against a hang; nothing is timed.
    std::optional<ProgramState> WaitFor(const std::function<bool(const ProgramState&)>& condition);

    // Waits for the program to end; its exit status, or 128 + the signal.
    int WaitForExit();

private:
    void Send(const std::string& line);

    pid_t pid_ = -1;
    int input_ = -1;
    FILE* output_ = nullptr;
};

// Real input, as a user gives it.
void MoveTo(int x, int y);
void ClickAt(int x, int y, int button = 1);
void Click(const ControlState& control, int button = 1);
void PressKeys(const std::string& keys);

}  // namespace vantrel::testing
