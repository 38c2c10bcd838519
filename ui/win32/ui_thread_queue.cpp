#include "ui/win32/ui_thread_queue.h"

namespace vantrel {

void UiThreadQueue::Attach(HWND window, UINT message) {
    const std::lock_guard lock(m_mutex);
    m_window = window;
    m_message = message;
    if (!m_due.empty() && !m_wakePosted) m_wakePosted = ::PostMessageW(m_window, m_message, 0, 0);
}

void UiThreadQueue::Post(std::function<void()> action) {
    const std::lock_guard lock(m_mutex);
    m_due.push_back(std::move(action));
    // A window that has gone takes no message; its actions are never due.
    if (m_window != nullptr && !m_wakePosted) {
        m_wakePosted = ::PostMessageW(m_window, m_message, 0, 0);
    }
}

void UiThreadQueue::RunDue() {
    {
        // What is queued from now on wakes the window again, so that a modal
        // loop opened by one of the actions below runs it.
        const std::lock_guard lock(m_mutex);
        m_wakePosted = false;
    }
    for (;;) {
        std::function<void()> action;
        {
            const std::lock_guard lock(m_mutex);
            if (m_due.empty()) return;
            action = std::move(m_due.front());
            m_due.pop_front();
        }
        action();
    }
}

}  // namespace vantrel
