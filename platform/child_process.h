#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace vantrel {

// A started child program whose standard output and standard error share one
// pipe and whose standard input is a second pipe. The child leads its own
// process group, so Kill() also ends anything it started. Move-only; the
// destructor kills and reaps a child that is still there, so no zombie is left.
//
// The child gets SIGKILL when this program dies, however it dies, so an
// encoder never goes on converting on its own. The kernel ties that to the
// THREAD that called Start(), not to the process: when that thread ends, the
// child is killed too. So the thread that starts a child must outlive it
// (start, follow and Reap() it on one thread, as the encoder runner does).
class ChildProcess {
public:
    // How a start went: started, or not with the errno of the step that failed.
    struct StartResult {
        bool started = false;
        int error = 0;  // errno from pipe, fork or exec
    };

    ChildProcess() = default;
    ChildProcess(ChildProcess&& other) noexcept;
    ChildProcess& operator=(ChildProcess&& other) noexcept;
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    ~ChildProcess();

    // argv[0] is the program's path, run as given (no PATH search).
    StartResult Start(const std::vector<std::string>& argv);

    bool started() const { return pid_ > 0; }
    pid_t pid() const { return pid_; }
    // The parent's ends; -1 when closed. Both are close-on-exec.
    int outputFd() const { return output_; }
    int inputFd() const { return input_; }
    // Readable once the child has ended (a pidfd); -1 when the kernel has none.
    int exitFd() const { return exitFd_; }

    // SIGKILL to the whole process group, while the child is not yet reaped.
    void Kill();
    // Waits for the child and returns its exit code (128 + signal when killed);
    // later calls return the same value. -1 when nothing was started.
    int Reap();
    bool reaped() const { return reaped_; }

    void CloseInput();

private:
    void Release();

    pid_t pid_ = -1;
    int output_ = -1;
    int input_ = -1;
    int exitFd_ = -1;
    bool reaped_ = false;
    int exitCode_ = -1;
};

}  // namespace vantrel
