#pragma once

#include <deque>
#include <functional>

namespace praxora {

// Runs the view's operations one at a time. The engine is waited for in nested
// main-loop iterations, so a menu command, key or command link can arrive while
// an operation is still running; it is queued and runs after the current one ends,
// never nested inside it.
class CommandQueue {
public:
    using Operation = std::function<void()>;

    // Runs the operation now when idle, else queues it. Returns once the queue is
    // drained, or at once when queued.
    void Submit(Operation operation);

    bool IsBusy() const { return m_busy; }
    size_t PendingCount() const { return m_pending.size(); }

private:
    std::deque<Operation> m_pending;
    bool m_busy = false;
};

}  // namespace praxora
