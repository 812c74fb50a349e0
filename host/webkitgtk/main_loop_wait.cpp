#include "host/webkitgtk/main_loop_wait.h"

#include <glib.h>

namespace praxora {

bool IterateMainLoopUntil(const bool& finished, unsigned timeoutMilliseconds) {
    bool timedOut = false;
    const guint timer = g_timeout_add(
        timeoutMilliseconds,
        [](gpointer flag) -> gboolean {
            *static_cast<bool*>(flag) = true;
            return G_SOURCE_REMOVE;
        },
        &timedOut);
    while (!finished && !timedOut) {
        g_main_context_iteration(nullptr, TRUE);
    }
    if (!timedOut) {
        g_source_remove(timer);
    }
    return finished;
}

}  // namespace praxora
