#include "store/TicketMutex.h"

#include <atomic>
#include <gtest/gtest.h>
#include <thread>
#include <vector>

namespace rf::test {
namespace {

// While the lock is held, two threads ask for it one after the other; when it is let go they get it in the
// order they asked, whichever of them the system would have woken first.
TEST(TicketMutex, ThreadsGetTheLockInTheOrderTheyAskedForIt) {
    for (int round = 0; round < 50; ++round) {
        TicketMutex lock;
        std::vector<int> order;
        lock.lock();
        const int first = round % 2;
        std::vector<std::thread> askers;
        for (int n = 0; n < 2; ++n) {
            const int who = n == 0 ? first : 1 - first;
            askers.emplace_back([&lock, &order, who] {
                lock.lock();
                order.push_back(who);
                lock.unlock();
            });
            while (lock.Asked() < static_cast<std::uint64_t>(n + 2)) { // this asker has taken its place
                std::this_thread::yield();
            }
        }
        lock.unlock();
        for (auto& asker : askers) {
            asker.join();
        }
        EXPECT_EQ(order, (std::vector<int>{first, 1 - first})) << "round " << round;
    }
}

// The engine's reply thread writes device after device, letting go of the lock and taking it again at
// once. A thread that asked meanwhile must get in first, not wait for the whole burst.
TEST(TicketMutex, AThreadThatLetsGoCannotTakeTheLockBackBeforeOneThatAsked) {
    for (int round = 0; round < 50; ++round) {
        TicketMutex lock;
        std::vector<char> order;
        lock.lock();
        std::thread asker([&] {
            lock.lock();
            order.push_back('a');
            lock.unlock();
        });
        while (lock.Asked() < 2) {
            std::this_thread::yield();
        }
        lock.unlock();
        lock.lock();
        order.push_back('b');
        lock.unlock();
        asker.join();
        EXPECT_EQ(order, (std::vector<char>{'a', 'b'})) << "round " << round;
    }
}

TEST(TicketMutex, KeepsEveryChangeOfSeveralThreads) {
    TicketMutex lock;
    long counter = 0;
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < 5000; ++i) {
                lock.lock();
                ++counter;
                lock.unlock();
            }
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(counter, 20000);
}

} // namespace
} // namespace rf::test
