#include "stop_on_signal.h"

#include <errno.h>
#include <signal.h>

#include <atomic>

namespace vantrel::cli {
namespace {

// Kept alive for the life of the process: a handler may run at any moment,
// including during exit.
std::shared_ptr<StopSignal>* g_keptStop = nullptr;
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
    if (stop == nullptr || stop->fd() < 0) return false;
    g_keptStop = new std::shared_ptr<StopSignal>(std::move(stop));
    g_stop.store(g_keptStop->get());

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
