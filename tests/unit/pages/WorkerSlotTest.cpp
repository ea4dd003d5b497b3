#include "pages/WorkerSlot.h"

#include <atomic>
#include <gtest/gtest.h>

namespace rf {
namespace {

TEST(WorkerSlotRuns, ANewWorkerStopsThePreviousOneFirst) {
    WorkerSlot slot;
    std::atomic<bool> firstStopped{false};
    std::atomic<bool> secondRan{false};
    slot.Start([&](std::stop_token stop) {
        while (!stop.stop_requested()) {
            std::this_thread::yield();
        }
        firstStopped = true;
    });
    EXPECT_TRUE(slot.Running());
    slot.Start([&](std::stop_token) { secondRan = firstStopped.load(); });
    slot.Wait();
    EXPECT_TRUE(firstStopped);
    EXPECT_TRUE(secondRan) << "the second began only after the first had ended";
    EXPECT_FALSE(slot.Running()) << "a finished worker no longer counts as running";
}

} // namespace
} // namespace rf
