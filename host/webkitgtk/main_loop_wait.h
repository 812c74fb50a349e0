#pragma once

namespace praxora {

// Iterates the main loop until finished is true or the bound has passed; true when
// finished. Each iteration sleeps in poll() until an event comes, so the host leaves
// the cores to the engine while it waits. Events that arrive meanwhile (menus, keys,
// command links) are dispatched; the view queues its commands for afterwards.
bool IterateMainLoopUntil(const bool& finished, unsigned timeoutMilliseconds);

}  // namespace praxora
