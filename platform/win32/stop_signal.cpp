#include "platform/stop_signal.h"

#include <windows.h>

namespace vantrel {
namespace {

HANDLE EventOf(intptr_t waitable) { return reinterpret_cast<HANDLE>(waitable); }

}  // namespace

// Manual reset: once set, every wait on it wakes until it is destroyed.
StopSignal::StopSignal()
    : waitable_(reinterpret_cast<intptr_t>(::CreateEventW(nullptr, TRUE, FALSE, nullptr))) {}

StopSignal::~StopSignal() {
    if (usable()) ::CloseHandle(EventOf(waitable_));
}

bool StopSignal::usable() const { return waitable_ != 0; }

// SetEvent takes no lock of ours, so a console control handler's thread may
// call this while another thread waits.
void StopSignal::Signal() {
    if (usable()) ::SetEvent(EventOf(waitable_));
}

bool StopSignal::IsSignalled() const {
    return usable() && ::WaitForSingleObject(EventOf(waitable_), 0) == WAIT_OBJECT_0;
}

}  // namespace vantrel
