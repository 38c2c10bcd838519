#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/expected.h"
#include "platform/stop_signal.h"

namespace vantrel {

// A started child program whose standard output and standard error share one
// pipe and whose standard input is a second pipe. Kill() ends the child and
// anything it started (its process group on Linux, its job on Windows).
// Move-only; the destructor kills and reaps a child that is still there, so no
// zombie and no stray encoder is left.
//
// The child is killed when this program dies, however it dies, so an encoder
// never goes on converting on its own. On Linux the kernel ties that to the
// THREAD that called Start(), not to the process: when that thread ends, the
// child is killed too. So the thread that starts a child must outlive it
// (start, follow and Reap() it on one thread, as the encoder runner does).
class ChildProcess {
public:
    // Started, or not, with the system's words for the step that failed.
    using StartResult = Expected<void>;

    // What ended a Wait(). More than one may be true.
    struct Wake {
        bool output = false;  // ReadOutput() will not block: data, its end, or an error
        bool stop = false;    // the stop signal is set
        bool exited = false;  // the child itself has ended; its output may still be open
        bool failed = false;  // the wait itself failed; try again after a pause
    };

    ChildProcess();
    ChildProcess(ChildProcess&& other) noexcept;
    ChildProcess& operator=(ChildProcess&& other) noexcept;
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    ~ChildProcess();

    // argv is UTF-8; argv[0] is the program's path, run as given (no search).
    // Each word reaches the child unchanged, whatever blanks or quotes it holds.
    StartResult Start(const std::vector<std::string>& argv);

    bool started() const;
    // The system's process id; -1 when nothing is started.
    int64_t id() const;

    // Waits until the output can be read without blocking, the stop signal is
    // set, the child has ended (only when watchExit and CanWatchExit()), or
    // timeoutMs has passed (-1: no limit). A null stop is not watched.
    Wake Wait(const StopSignal* stop, bool watchExit, int timeoutMs);
    // False where the system cannot wait for the child's end together with its
    // output (a Linux kernel without pidfd).
    bool CanWatchExit() const;
    // Bytes read (> 0), 0 at the end of the output, -1 when the read failed.
    long ReadOutput(char* buffer, size_t size);
    // Writes all of `data` to the child's input; false once that is closed or
    // the child has gone.
    bool WriteInput(const char* data, size_t size);
    void CloseInput();

    // Ends the child and whatever it started, while it is not yet reaped.
    void Kill();
    // Waits for the child and returns its exit code (128 + signal when killed
    // by one on Linux); later calls return the same value. -1 when nothing was
    // started.
    int Reap();
    bool reaped() const;

private:
    void Release();

    struct State;  // each system's handles
    std::unique_ptr<State> state_;
};

}  // namespace vantrel
