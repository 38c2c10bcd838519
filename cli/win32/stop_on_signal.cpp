#include "cli/stop_on_signal.h"

#include <windows.h>

#include <atomic>
#include <new>

namespace vantrel::cli {
namespace {

// Kept alive for the life of the process, since the handler may run at any
// moment, also during exit: constructed in static storage and never destroyed.
alignas(std::shared_ptr<StopSignal>) unsigned char g_keptStop[sizeof(std::shared_ptr<StopSignal>)];
std::atomic<StopSignal*> g_stop{nullptr};

// Windows calls this on a thread of its own.
BOOL WINAPI OnConsoleControl(DWORD event) {
    if (StopSignal* stop = g_stop.load()) stop->Signal();
    if (event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT) return TRUE;
    // The console is closing or the session ending: the process would end as
    // soon as this returned, so it never returns. The process ends itself once
    // its runs have stopped and their partial files are gone (or Windows ends
    // it when its few seconds of grace are over).
    ::Sleep(INFINITE);
    return TRUE;
}

}  // namespace

bool StopOnTerminationSignals(std::shared_ptr<StopSignal> stop) {
    if (stop == nullptr || !stop->usable()) return false;
    auto* kept = new (g_keptStop) std::shared_ptr<StopSignal>(std::move(stop));
    g_stop.store(kept->get());
    // A program started in a process group of its own begins with Ctrl-C
    // ignored; Ctrl-C must stop it all the same.
    ::SetConsoleCtrlHandler(nullptr, FALSE);
    return ::SetConsoleCtrlHandler(OnConsoleControl, TRUE) != 0;
}

}  // namespace vantrel::cli
