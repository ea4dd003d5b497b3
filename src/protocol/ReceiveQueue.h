#pragma once

#include <condition_variable>
#include <deque>
#include <mutex>
#include <stop_token>

namespace rf {

// The hand-over between a receiver and its processor: the receiver appends under the lock, the processor
// takes everything queued at once and handles it outside the lock.
template <typename T> class ReceiveQueue {
public:
    void Push(T item) {
        {
            std::lock_guard lock(lock_);
            items_.push_back(std::move(item));
        }
        ready_.notify_one();
    }

    // Waits until something is queued or stop is requested; returns all queued items in arrival order.
    std::deque<T> WaitAndTakeAll(std::stop_token stop) {
        std::unique_lock lock(lock_);
        ready_.wait(lock, stop, [&] { return !items_.empty(); });
        std::deque<T> taken;
        taken.swap(items_);
        return taken;
    }

    void Clear() {
        std::lock_guard lock(lock_);
        items_.clear();
    }

private:
    std::mutex lock_;
    std::condition_variable_any ready_;
    std::deque<T> items_;
};

} // namespace rf
