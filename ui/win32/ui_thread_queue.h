#pragma once

#include <windows.h>

#include <deque>
#include <functional>
#include <mutex>

namespace vantrel {

// Actions for the UI thread, queued from any thread and run there in the
// order they were queued. The queue wakes its window with a posted message,
// never a sent one, so a worker that queues never waits for the UI thread;
// and with one at a time, so that a flood of progress reports cannot fill the
// thread's message queue.
class UiThreadQueue {
public:
    // `window` gets `message` whenever actions are due; its procedure then
    // calls RunDue().
    void Attach(HWND window, UINT message);
    void Post(std::function<void()> action);
    // Runs the due actions one by one. An action that opens a modal loop (a
    // message box) lets the later ones run inside that loop, still in order.
    void RunDue();

private:
    std::mutex m_mutex;
    std::deque<std::function<void()>> m_due;
    HWND m_window = nullptr;
    UINT m_message = 0;
    bool m_wakePosted = false;
};

}  // namespace vantrel
