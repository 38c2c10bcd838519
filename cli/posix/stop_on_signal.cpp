#include "cli/stop_on_signal.h"

#include <errno.h>
#include <signal.h>

#include <atomic>
#include <new>

namespace vantrel::cli {
namespace {

// Kept alive for the life of the process, since a handler may run at any
// moment, also during exit: constructed in static storage and never destroyed.
alignas(std::shared_ptr<StopSignal>) unsigned char g_keptStop[sizeof(std::shared_ptr<StopSignal>)];
std::atomic<StopSignal*> g_stop{nullptr};

static_assert(std::atomic<StopSignal*>::is_always_lock_free);

extern "C" void OnTerminationSignal(int) {
    const int savedErrno = errno;
    // Signal() only writes to an eventfd, which a handler may do.
    if (StopSignal* stop = g_stop.load()) stop->Signal();
    errno = savedErrno;
}

}  // namespace

bool StopOnTerminationSignals(std::shared_ptr<StopSignal> stop) {
    if (stop == nullptr || !stop->usable()) return false;
    auto* kept = new (g_keptStop) std::shared_ptr<StopSignal>(std::move(stop));
    g_stop.store(kept->get());

    struct sigaction action {};
    action.sa_handler = OnTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) ::sigaction(signal, &action, nullptr);

    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    ::sigaction(SIGPIPE, &ignore, nullptr);
    return true;
}

}  // namespace vantrel::cli
