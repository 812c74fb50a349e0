// Waiting on the GLib main loop that wxGTK and WebKitGTK share.
#include <glib.h>

#include "tests/engine/engine_wait.h"

namespace praxora::testing {

bool RunLoopUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    // A ticking source wakes the blocking iteration so the deadline is noticed.
    const guint tick = g_timeout_add(
        10, [](gpointer) -> gboolean { return G_SOURCE_CONTINUE; }, nullptr);
    bool finished = done();
    while (!finished && std::chrono::steady_clock::now() < deadline) {
        g_main_context_iteration(nullptr, TRUE);
        finished = done();
    }
    g_source_remove(tick);
    return finished;
}

void RunLoopFor(std::chrono::milliseconds duration) {
    RunLoopUntil([] { return false; }, duration);
}

}  // namespace praxora::testing
