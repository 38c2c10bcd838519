#include "platform/child_process.h"
#include "platform/system_error_text.h"

#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <utility>

namespace vantrel {
namespace {

void CloseFd(int& fd) {
    if (fd >= 0) ::close(fd);
    fd = -1;
}

int OpenPidFd(pid_t pid) {
#ifdef SYS_pidfd_open
    const long fd = ::syscall(SYS_pidfd_open, pid, 0);
    if (fd >= 0) {
        ::fcntl(static_cast<int>(fd), F_SETFD, FD_CLOEXEC);
        return static_cast<int>(fd);
    }
#endif
    (void)pid;
    return -1;
}

}  // namespace

struct ChildProcess::State {
    pid_t pid = -1;
    int output = -1;
    int input = -1;
    int exitFd = -1;  // a pidfd: readable once the child has ended
    bool reaped = false;
    int exitCode = -1;
};

ChildProcess::ChildProcess() : state_(std::make_unique<State>()) {}

ChildProcess::ChildProcess(ChildProcess&& other) noexcept
    : state_(std::exchange(other.state_, std::make_unique<State>())) {}

ChildProcess& ChildProcess::operator=(ChildProcess&& other) noexcept {
    if (this != &other) {
        Release();
        std::swap(state_, other.state_);
    }
    return *this;
}

ChildProcess::~ChildProcess() { Release(); }

void ChildProcess::Release() {
    State& s = *state_;
    if (s.pid > 0 && !s.reaped) {
        Kill();
        Reap();
    }
    CloseFd(s.output);
    CloseFd(s.input);
    CloseFd(s.exitFd);
    s = State{};
}

bool ChildProcess::started() const { return state_->pid > 0; }
int64_t ChildProcess::id() const { return state_->pid; }
bool ChildProcess::reaped() const { return state_->reaped; }
bool ChildProcess::CanWatchExit() const { return state_->exitFd >= 0; }

ChildProcess::StartResult ChildProcess::Start(const std::vector<std::string>& argv) {
    Release();
    State& s = *state_;
    if (argv.empty()) return Fail(SystemErrorText(EINVAL));

    // Everything the child needs is prepared before fork: after it, in a
    // threaded program, only async-signal-safe calls are allowed.
    std::vector<char*> args;
    args.reserve(argv.size() + 1);
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);

    int outPipe[2], inPipe[2], errorPipe[2];
    if (::pipe2(outPipe, O_CLOEXEC) != 0) return Fail(SystemErrorText(errno));
    if (::pipe2(inPipe, O_CLOEXEC) != 0) {
        const int e = errno;
        ::close(outPipe[0]);
        ::close(outPipe[1]);
        return Fail(SystemErrorText(e));
    }
    // Reports a failed exec: the child writes errno, a successful exec closes it.
    if (::pipe2(errorPipe, O_CLOEXEC) != 0) {
        const int e = errno;
        for (int fd : {outPipe[0], outPipe[1], inPipe[0], inPipe[1]}) ::close(fd);
        return Fail(SystemErrorText(e));
    }

    const pid_t parent = ::getpid();
    const pid_t pid = ::fork();
    if (pid < 0) {
        const int e = errno;
        for (int fd : {outPipe[0], outPipe[1], inPipe[0], inPipe[1], errorPipe[0], errorPipe[1]})
            ::close(fd);
        return Fail(SystemErrorText(e));
    }
    if (pid == 0) {
        // Ends with the thread that forked, even when that one is SIGKILLed.
        // A parent that died before this line is missed by the request:
        // then the child has already been handed to another parent.
        if (::prctl(PR_SET_PDEATHSIG, SIGKILL) != 0) {
            const int e = errno;
            (void)!::write(errorPipe[1], &e, sizeof e);
            ::_exit(127);
        }
        if (::getppid() != parent) ::_exit(127);
        ::setpgid(0, 0);
        sigset_t none;
        sigemptyset(&none);
        ::sigprocmask(SIG_SETMASK, &none, nullptr);
        ::signal(SIGPIPE, SIG_DFL);
        ::signal(SIGINT, SIG_DFL);
        ::signal(SIGTERM, SIG_DFL);
        // dup2 clears close-on-exec on the new descriptors only.
        if (::dup2(inPipe[0], 0) < 0 || ::dup2(outPipe[1], 1) < 0 || ::dup2(outPipe[1], 2) < 0) {
            const int e = errno;
            (void)!::write(errorPipe[1], &e, sizeof e);
            ::_exit(127);
        }
        ::execv(args[0], args.data());
        const int e = errno;
        (void)!::write(errorPipe[1], &e, sizeof e);
        ::_exit(127);
    }

    // Also set from here, so that a Kill() right after Start() reaches the
    // group even if the child has not run yet.
    ::setpgid(pid, pid);
    ::close(outPipe[1]);
    ::close(inPipe[0]);
    ::close(errorPipe[1]);

    int childErrno = 0;
    ssize_t n;
    do {
        n = ::read(errorPipe[0], &childErrno, sizeof childErrno);
    } while (n < 0 && errno == EINTR);
    ::close(errorPipe[0]);

    s.pid = pid;
    s.output = outPipe[0];
    s.input = inPipe[1];
    if (n > 0) {
        Release();
        return Fail(SystemErrorText(childErrno != 0 ? childErrno : ENOEXEC));
    }
    s.exitFd = OpenPidFd(pid);
    return {};
}

ChildProcess::Wake ChildProcess::Wait(const StopSignal* stop, bool watchExit, int timeoutMs) {
    const State& s = *state_;
    pollfd fds[3];
    nfds_t count = 0;
    const int outputIndex = s.output >= 0 ? static_cast<int>(count) : -1;
    if (outputIndex >= 0) fds[count++] = {s.output, POLLIN, 0};
    const int stopIndex = stop != nullptr && stop->usable() ? static_cast<int>(count) : -1;
    if (stopIndex >= 0) fds[count++] = {static_cast<int>(stop->waitable()), POLLIN, 0};
    const int exitIndex = watchExit && s.exitFd >= 0 ? static_cast<int>(count) : -1;
    if (exitIndex >= 0) fds[count++] = {s.exitFd, POLLIN, 0};

    Wake wake;
    const int ready = ::poll(fds, count, timeoutMs);
    if (ready < 0) {
        wake.failed = errno != EINTR;
        return wake;
    }
    const auto woke = [&](int index, short events) {
        return index >= 0 && (fds[index].revents & events) != 0;
    };
    wake.output = woke(outputIndex, POLLIN | POLLHUP | POLLERR);
    wake.stop = woke(stopIndex, POLLIN);
    wake.exited = woke(exitIndex, POLLIN);
    return wake;
}

long ChildProcess::ReadOutput(char* buffer, size_t size) {
    if (state_->output < 0) return -1;
    ssize_t n;
    do {
        n = ::read(state_->output, buffer, size);
    } while (n < 0 && errno == EINTR);
    return n;
}

bool ChildProcess::WriteInput(const char* data, size_t size) {
    while (size > 0) {
        if (state_->input < 0) return false;
        const ssize_t n = ::write(state_->input, data, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;  // EPIPE: the child has gone
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

void ChildProcess::Kill() {
    // Never signal a reaped pid: the number may already belong to someone else.
    if (state_->pid > 0 && !state_->reaped) ::kill(-state_->pid, SIGKILL);
}

int ChildProcess::Reap() {
    State& s = *state_;
    if (s.pid <= 0) return -1;
    if (s.reaped) return s.exitCode;
    int status = 0;
    pid_t r;
    do {
        r = ::waitpid(s.pid, &status, 0);
    } while (r < 0 && errno == EINTR);
    s.reaped = true;
    if (r == s.pid && WIFEXITED(status)) {
        s.exitCode = WEXITSTATUS(status);
    } else if (r == s.pid && WIFSIGNALED(status)) {
        s.exitCode = 128 + WTERMSIG(status);
    } else {
        s.exitCode = -1;
    }
    CloseFd(s.exitFd);
    return s.exitCode;
}

void ChildProcess::CloseInput() { CloseFd(state_->input); }

}  // namespace vantrel
