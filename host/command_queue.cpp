#include "host/command_queue.h"

#include <utility>

namespace praxora {

namespace {
// Clears the busy flag also when an operation throws (out of memory), so the view
// does not stay locked for the rest of the session.
class BusyScope {
public:
    explicit BusyScope(bool& busy) : m_busy(busy) { m_busy = true; }
    ~BusyScope() { m_busy = false; }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    bool& m_busy;
};
}  // namespace

void CommandQueue::Submit(Operation operation) {
    if (m_busy) {
        m_pending.push_back(std::move(operation));
        return;
    }
    BusyScope busy(m_busy);
    operation();
    while (!m_pending.empty()) {
        Operation next = std::move(m_pending.front());
        m_pending.pop_front();
        next();
    }
}

}  // namespace praxora
