#pragma once

#include <cstdint>

namespace vantrel {

// A one-way flag that a wait on a child can include: an eventfd on Linux, a
// manual-reset event on Windows. One per conversion; share it with
// std::shared_ptr so the run keeps it alive for as long as it waits on it.
class StopSignal {
public:
    StopSignal();
    ~StopSignal();
    StopSignal(const StopSignal&) = delete;
    StopSignal& operator=(const StopSignal&) = delete;

    // Safe from any thread, any number of times; on Linux also from a signal
    // handler, on Windows from a console control handler.
    void Signal();
    bool IsSignalled() const;
    // False if the system object could not be made: then Signal() does nothing
    // and IsSignalled() stays false, so such a signal cannot stop a run.
    bool usable() const;
    // The object to wait on: the eventfd, or the event's HANDLE.
    intptr_t waitable() const { return waitable_; }

private:
    intptr_t waitable_;
};

}  // namespace vantrel
