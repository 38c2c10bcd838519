#include "running_program.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <sstream>
#include <stdexcept>
#include <thread>

extern char** environ;

namespace vantrel::testing {
namespace {

std::vector<std::string> SplitTabs(const std::string& line) {
    std::vector<std::string> fields;
    std::string field;
    std::istringstream in(line);
    while (std::getline(in, field, '\t')) fields.push_back(field);
    if (!line.empty() && line.back() == '\t') fields.emplace_back();
    return fields;
}

Rect ReadRect(const std::vector<std::string>& f, size_t first) {
    return {std::stoi(f[first]), std::stoi(f[first + 1]), std::stoi(f[first + 2]),
            std::stoi(f[first + 3])};
}

void Run(const std::string& command) {
    if (std::system(command.c_str()) != 0) throw std::runtime_error("failed: " + command);
}

}  // namespace

const ControlState* ProgramState::Control(int id, int window) const {
    for (const ControlState& c : controls) {
        if (c.id == id && c.window == window) return &c;
    }
    return nullptr;
}

std::vector<ControlState> ProgramState::ControlsOf(int window) const {
    std::vector<ControlState> out;
    for (const ControlState& c : controls) {
        if (c.window == window) out.push_back(c);
    }
    return out;
}

RunningProgram::RunningProgram(const std::string& path, const std::vector<std::string>& overrides) {
    int toProgram[2], fromProgram[2];
    if (::pipe2(toProgram, O_CLOEXEC) != 0 || ::pipe2(fromProgram, O_CLOEXEC) != 0) {
        throw std::runtime_error("pipe");
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, toProgram[0], 0);
    posix_spawn_file_actions_adddup2(&actions, fromProgram[1], 1);

    std::vector<std::string> environment = overrides;
    environment.emplace_back("VANTREL_TEST_SEAM=1");
    const auto overridden = [&](const std::string& variable) {
        const std::string name = variable.substr(0, variable.find('=') + 1);
        for (const std::string& o : environment) {
            if (o.rfind(name, 0) == 0) return true;
        }
        return false;
    };
    for (char** e = environ; *e != nullptr; ++e) {
        if (!overridden(*e)) environment.emplace_back(*e);
    }
    std::vector<char*> envp;
    for (std::string& e : environment) envp.push_back(e.data());
    envp.push_back(nullptr);
    std::string program = path;
    char* argv[] = {program.data(), nullptr};

    const int error = ::posix_spawn(&pid_, path.c_str(), &actions, nullptr, argv, envp.data());
    posix_spawn_file_actions_destroy(&actions);
    ::close(toProgram[0]);
    ::close(fromProgram[1]);
    if (error != 0) throw std::runtime_error("cannot start " + path);
    input_ = toProgram[1];
    output_ = ::fdopen(fromProgram[0], "r");
}

RunningProgram::~RunningProgram() {
    if (input_ >= 0) ::close(input_);
    if (output_ != nullptr) std::fclose(output_);
    if (pid_ > 0) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }
}

void RunningProgram::Send(const std::string& line) {
    const std::string text = line + "\n";
    if (::write(input_, text.data(), text.size()) != static_cast<ssize_t>(text.size())) {
        throw std::runtime_error("the program does not listen");
    }
}

void RunningProgram::Choose(const std::string& path) { Send("choose " + path); }

std::optional<ProgramState> RunningProgram::State() {
    ::signal(SIGPIPE, SIG_IGN);
    try {
        Send("state");
    } catch (const std::runtime_error&) {
        return std::nullopt;
    }
    ProgramState state;
    char* buffer = nullptr;
    size_t capacity = 0;
    std::optional<ProgramState> result;
    while (::getline(&buffer, &capacity, output_) > 0) {
        std::string line(buffer);
        if (!line.empty() && line.back() == '\n') line.pop_back();
        if (line == "end") {
            result = std::move(state);
            break;
        }
        const std::vector<std::string> f = SplitTabs(line);
        if (f[0] == "window" && f.size() >= 7) {
            state.windows.push_back({f[2], ReadRect(f, 3)});
        } else if (f[0] == "control" && f.size() >= 13) {
            ControlState c;
            c.window = std::stoi(f[1]);
            c.id = std::stoi(f[2]);
            c.className = f[3];
            c.enabled = f[4] == "1";
            c.shown = f[5] == "1";
            c.checked = f[6];
            c.value = f[7];
            c.rect = ReadRect(f, 8);
            c.text = f[12];
            state.controls.push_back(std::move(c));
        } else if (f[0] == "menu" && f.size() >= 2) {
            state.menuOpen = f[1] == "1";
        } else if (f[0] == "focus" && f.size() >= 2) {
            state.focus = f[1];
        } else if (f[0] == "progress-history" && f.size() >= 2) {
            std::istringstream values(f[1]);
            std::string value;
            while (std::getline(values, value, ','))
                state.progressHistory.push_back(std::stoi(value));
        } else if (f[0] == "message" && f.size() >= 2) {
            state.messages.push_back(f[1]);
        }
    }
    std::free(buffer);
    return result;
}

std::optional<ProgramState> RunningProgram::WaitFor(
    const std::function<bool(const ProgramState&)>& condition) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(90);
    for (;;) {
        std::optional<ProgramState> state = State();
        if (!state) return std::nullopt;
        if (condition(*state)) return state;
        if (std::chrono::steady_clock::now() > deadline) return std::nullopt;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

int RunningProgram::WaitForExit() {
    int status = 0;
    if (::waitpid(pid_, &status, 0) != pid_) return -1;
    pid_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

void MoveTo(int x, int y) {
    Run("xdotool mousemove --sync " + std::to_string(x) + " " + std::to_string(y));
}

void ClickAt(int x, int y, int button) {
    Run("xdotool mousemove --sync " + std::to_string(x) + " " + std::to_string(y) + " click " +
        std::to_string(button));
}

void Click(const ControlState& control, int button) {
    ClickAt(control.rect.x + control.rect.width / 2, control.rect.y + control.rect.height / 2,
            button);
}

void PressKeys(const std::string& keys) { Run("xdotool key " + keys); }

}  // namespace vantrel::testing
