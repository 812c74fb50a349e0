#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "host/command_queue.h"

namespace praxora {
namespace {

TEST(CommandQueueTest, CommandArrivingDuringAnOperationRunsAfterItNeverInside) {
    CommandQueue queue;
    std::vector<std::string> events;
    queue.Submit([&] {
        events.push_back("first begins");
        queue.Submit([&] {
            events.push_back("second runs");
            queue.Submit([&] { events.push_back("third runs"); });
        });
        EXPECT_EQ(queue.PendingCount(), 1u);
        events.push_back("first ends");
    });
    EXPECT_EQ(events, (std::vector<std::string>{"first begins", "first ends", "second runs",
                                                "third runs"}));
    EXPECT_FALSE(queue.IsBusy());
}

TEST(CommandQueueTest, ThrowingOperationLeavesTheQueueUsable) {
    CommandQueue queue;
    bool laterRan = false;
    EXPECT_THROW(queue.Submit([] { throw std::bad_alloc(); }), std::bad_alloc);
    EXPECT_FALSE(queue.IsBusy());
    queue.Submit([&] { laterRan = true; });
    EXPECT_TRUE(laterRan);
}

}  // namespace
}  // namespace praxora
