#include "child_process.h"

#include <errno.h>
#include <fcntl.h>
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

ChildProcess::ChildProcess(ChildProcess&& other) noexcept { *this = std::move(other); }

ChildProcess& ChildProcess::operator=(ChildProcess&& other) noexcept {
    if (this != &other) {
        Release();
        pid_ = std::exchange(other.pid_, -1);
        output_ = std::exchange(other.output_, -1);
        input_ = std::exchange(other.input_, -1);
        exitFd_ = std::exchange(other.exitFd_, -1);
        reaped_ = std::exchange(other.reaped_, false);
        exitCode_ = std::exchange(other.exitCode_, -1);
    }
    return *this;
}

ChildProcess::~ChildProcess() { Release(); }

void ChildProcess::Release() {
    if (pid_ > 0 && !reaped_) {
        Kill();
        Reap();
    }
    CloseFd(output_);
    CloseFd(input_);
    CloseFd(exitFd_);
    pid_ = -1;
}

ChildProcess::StartResult ChildProcess::Start(const std::vector<std::string>& argv) {
    Release();
    reaped_ = false;
    exitCode_ = -1;
    if (argv.empty()) return {false, EINVAL};

    // Everything the child needs is prepared before fork: after it, in a
    // threaded program, only async-signal-safe calls are allowed.
    std::vector<char*> args;
    args.reserve(argv.size() + 1);
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);

    int outPipe[2], inPipe[2], errorPipe[2];
    if (::pipe2(outPipe, O_CLOEXEC) != 0) return {false, errno};
    if (::pipe2(inPipe, O_CLOEXEC) != 0) {
        const int e = errno;
        ::close(outPipe[0]);
        ::close(outPipe[1]);
        return {false, e};
    }
    // Reports a failed exec: the child writes errno, a successful exec closes it.
    if (::pipe2(errorPipe, O_CLOEXEC) != 0) {
        const int e = errno;
        for (int fd : {outPipe[0], outPipe[1], inPipe[0], inPipe[1]}) ::close(fd);
        return {false, e};
    }

    const pid_t parent = ::getpid();
    const pid_t pid = ::fork();
    if (pid < 0) {
        const int e = errno;
        for (int fd : {outPipe[0], outPipe[1], inPipe[0], inPipe[1], errorPipe[0], errorPipe[1]})
            ::close(fd);
        return {false, e};
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

    pid_ = pid;
    output_ = outPipe[0];
    input_ = inPipe[1];
    if (n > 0) {
        Reap();
        CloseFd(output_);
        CloseFd(input_);
        pid_ = -1;
        return {false, childErrno != 0 ? childErrno : ENOEXEC};
    }
    exitFd_ = OpenPidFd(pid);
    return {true, 0};
}

void ChildProcess::Kill() {
    // Never signal a reaped pid: the number may already belong to someone else.
    if (pid_ > 0 && !reaped_) ::kill(-pid_, SIGKILL);
}

int ChildProcess::Reap() {
    if (pid_ <= 0) return -1;
    if (reaped_) return exitCode_;
    int status = 0;
    pid_t r;
    do {
        r = ::waitpid(pid_, &status, 0);
    } while (r < 0 && errno == EINTR);
    reaped_ = true;
    if (r == pid_ && WIFEXITED(status)) {
        exitCode_ = WEXITSTATUS(status);
    } else if (r == pid_ && WIFSIGNALED(status)) {
        exitCode_ = 128 + WTERMSIG(status);
    } else {
        exitCode_ = -1;
    }
    CloseFd(exitFd_);
    return exitCode_;
}

void ChildProcess::CloseInput() { CloseFd(input_); }

}  // namespace vantrel
