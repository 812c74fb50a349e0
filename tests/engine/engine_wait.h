#pragma once

#include <chrono>
#include <functional>

namespace praxora::testing {

// Runs the main loop until done() is true or the limit has passed; true when done.
bool RunLoopUntil(const std::function<bool()>& done, std::chrono::milliseconds limit);

// Runs the main loop for a while, to let late events arrive.
void RunLoopFor(std::chrono::milliseconds duration);

}  // namespace praxora::testing
