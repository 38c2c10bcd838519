#pragma once

namespace vantrel {

// A one-way flag that a poll() loop can wait on: an eventfd that becomes
// readable once Signal() is called. One per conversion; share it with
// std::shared_ptr so the run keeps it alive for as long as it polls it.
class StopSignal {
public:
    StopSignal();
    ~StopSignal();
    StopSignal(const StopSignal&) = delete;
    StopSignal& operator=(const StopSignal&) = delete;

    // Safe from any thread, any number of times.
    void Signal();
    bool IsSignalled() const;
    // For poll(). -1 if the eventfd could not be made: then Signal() does
    // nothing and IsSignalled() stays false, so such a signal cannot stop a
    // run; callers should treat fd() < 0 as unusable.
    int fd() const { return fd_; }

private:
    int fd_;
};

}  // namespace vantrel
