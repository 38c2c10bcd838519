#pragma once

#include <atomic>
#include <thread>

#include "platform/child_process.h"

namespace vantrel {

// Copies what arrives on this program's own standard input to the encoder's
// input, byte by byte, while a run lasts. It waits with a short timeout, so
// Stop() never waits for a keystroke, and it does nothing when standard input
// is closed, at its end, or not readable. The Windows programs have no console
// input to give (the window has no console, and the command-line converter
// keeps its keys for Ctrl-C), so there Start() always returns false.
class ConsoleInputForwarder {
public:
    ConsoleInputForwarder() = default;
    ~ConsoleInputForwarder() { Stop(); }
    ConsoleInputForwarder(const ConsoleInputForwarder&) = delete;
    ConsoleInputForwarder& operator=(const ConsoleInputForwarder&) = delete;

    // Returns false if the thread could not be started. The child must
    // outlive Stop().
    bool Start(int sourceFd, ChildProcess& encoder);
    void Stop();

private:
    void Run(int sourceFd, ChildProcess* encoder);

    std::atomic<bool> active_{false};
    std::thread thread_;
};

}  // namespace vantrel
