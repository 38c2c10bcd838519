#include "platform/stop_signal.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cstdint>

namespace vantrel {

StopSignal::StopSignal() : waitable_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

StopSignal::~StopSignal() {
    if (usable()) ::close(static_cast<int>(waitable_));
}

bool StopSignal::usable() const { return waitable_ >= 0; }

void StopSignal::Signal() {
    if (!usable()) return;
    const uint64_t one = 1;
    // The counter only grows and is never read, so it stays readable.
    (void)!::write(static_cast<int>(waitable_), &one, sizeof one);
}

bool StopSignal::IsSignalled() const {
    if (!usable()) return false;
    pollfd p{static_cast<int>(waitable_), POLLIN, 0};
    return ::poll(&p, 1, 0) > 0 && (p.revents & POLLIN) != 0;
}

}  // namespace vantrel
