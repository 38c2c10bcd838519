#pragma once

#include <atomic>
#include <thread>

namespace vantrel {

// Copies what arrives on this program's own standard input to the encoder's
// input pipe, byte by byte, while a run lasts. It waits with a short poll
// timeout, so Stop() never waits for a keystroke, and it does nothing when
// standard input is closed, at its end, or not readable.
class ConsoleInputForwarder {
public:
    ConsoleInputForwarder() = default;
    ~ConsoleInputForwarder() { Stop(); }
    ConsoleInputForwarder(const ConsoleInputForwarder&) = delete;
    ConsoleInputForwarder& operator=(const ConsoleInputForwarder&) = delete;

    // Returns false if the thread could not be started. The writer fd stays
    // owned by the caller and must outlive Stop().
    bool Start(int sourceFd, int encoderInputFd);
    void Stop();

private:
    void Run(int sourceFd, int encoderInputFd);

    std::atomic<bool> active_{false};
    std::thread thread_;
};

}  // namespace vantrel
