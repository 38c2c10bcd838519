#include "cli_process.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace vantrel::cli::testing {
CliProcess::CliProcess(const CliLaunch& launch) {
    int out[2];
    int err[2];
    if (::pipe2(out, O_CLOEXEC) != 0 || ::pipe2(err, O_CLOEXEC) != 0) std::abort();
    if (launch.outputIsTerminal) {
        ::close(out[0]);
        ::close(out[1]);
        if (::openpty(&out[0], &out[1], nullptr, nullptr, nullptr) != 0) std::abort();
        // Bytes exactly as written: no LF to CR LF translation.
        termios mode{};
        ::tcgetattr(out[1], &mode);
        mode.c_oflag &= ~static_cast<tcflag_t>(OPOST);
        ::tcsetattr(out[1], TCSANOW, &mode);
        ::fcntl(out[0], F_SETFD, FD_CLOEXEC);
        ::fcntl(out[1], F_SETFD, FD_CLOEXEC);
    }
    std::vector<std::string> words{VANTREL_CONVERT_PATH};
    words.insert(words.end(), launch.arguments.begin(), launch.arguments.end());
    std::vector<char*> argv;
    for (std::string& w : words) argv.push_back(w.data());
    argv.push_back(nullptr);

    pid_ = ::fork();
    if (pid_ == 0) {
        ::dup2(out[1], STDOUT_FILENO);
        ::dup2(err[1], STDERR_FILENO);
        const int nothing = ::open("/dev/null", O_RDONLY);
        ::dup2(nothing, STDIN_FILENO);
        if (!launch.workingFolder.empty() && ::chdir(launch.workingFolder.c_str()) != 0) _exit(126);
        for (const auto& [name, value] : launch.environment) ::setenv(name.c_str(), value.c_str(), 1);
        // The test runner's own handling of these must not be inherited.
        ::signal(SIGINT, SIG_DFL);
        ::signal(SIGTERM, SIG_DFL);
        ::execv(argv[0], argv.data());
        _exit(127);
    }
    ::close(out[1]);
    ::close(err[1]);
    outFd_ = out[0];
    errFd_ = err[0];
}

CliProcess::~CliProcess() {
    if (pid_ > 0) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }
    if (outFd_ >= 0) ::close(outFd_);
    if (errFd_ >= 0) ::close(errFd_);
}

bool CliProcess::ReadSome() {
    for (;;) {
        pollfd fds[2] = {{outFd_, POLLIN, 0}, {errFd_, POLLIN, 0}};
        if (outFd_ < 0 && errFd_ < 0) return false;
        if (::poll(fds, 2, -1) < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bool gotOut = false;
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || fds[i].revents == 0) continue;
            char buffer[4096];
            const ssize_t n = ::read(fds[i].fd, buffer, sizeof buffer);
            int& fd = i == 0 ? outFd_ : errFd_;
            if (n <= 0) {
                ::close(fd);
                fd = -1;
                continue;
            }
            (i == 0 ? out_ : err_).append(buffer, static_cast<size_t>(n));
            gotOut = gotOut || i == 0;
        }
        if (gotOut) return true;
        if (outFd_ < 0) return false;
    }
}

void CliProcess::Signal(int signal) { ::kill(pid_, signal); }

CliRun CliProcess::Wait() {
    while (outFd_ >= 0 || errFd_ >= 0) ReadSome();
    int status = 0;
    ::waitpid(pid_, &status, 0);
    pid_ = -1;
    CliRun run;
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    run.out = out_;
    run.err = err_;
    return run;
}

CliRun RunCli(const CliLaunch& launch) { return CliProcess(launch).Wait(); }


}  // namespace vantrel::cli::testing
