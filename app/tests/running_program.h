// The seamed converter program (seamed_vantrel.cpp) running under a window
// test, and real input to it through xdotool.
#pragma once

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "test_support.h"

namespace vantrel::testing {

struct Control {
    int id = 0;  // the template's
    std::string className;
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
                in >> c.id >> c.className >> c.enabled >> c.checked >> c.x >> c.y >> c.width >>
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

inline void Xdotool(const std::string& arguments) {
    EXPECT_EQ(std::system(("xdotool " + arguments).c_str()), 0) << arguments;
}

inline void Click(const Control& c) {
    Xdotool("mousemove --sync " + std::to_string(c.x + c.width / 2) + " " +
            std::to_string(c.y + c.height / 2) + " click 1");
}

}  // namespace vantrel::testing
