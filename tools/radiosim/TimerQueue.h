#pragma once

#include <cstdint>
#include <functional>
#include <queue>
#include <vector>

namespace rf {

// Timed actions in one heap: heartbeats of every radio, delayed answers, scan packets.
class TimerQueue {
public:
    void At(int64_t whenMs, std::function<void()> action) {
        heap_.push(Entry{whenMs, sequence_++, std::move(action)});
    }
    // Milliseconds until the next action is due (0 when overdue), or -1 when nothing is waiting.
    int TimeoutMs(int64_t nowMs) const {
        if (heap_.empty()) {
            return -1;
        }
        const int64_t wait = heap_.top().when - nowMs;
        return wait <= 0 ? 0 : static_cast<int>(wait > 60000 ? 60000 : wait);
    }
    void RunDue(int64_t nowMs) {
        while (!heap_.empty() && heap_.top().when <= nowMs) {
            auto action = std::move(const_cast<Entry&>(heap_.top()).action);
            heap_.pop();
            action();
        }
    }
    size_t size() const { return heap_.size(); }

private:
    struct Entry {
        int64_t when;
        uint64_t sequence; // keeps actions due at the same time in the order they were set
        std::function<void()> action;
        bool operator>(const Entry& other) const {
            return when != other.when ? when > other.when : sequence > other.sequence;
        }
    };
    std::priority_queue<Entry, std::vector<Entry>, std::greater<>> heap_;
    uint64_t sequence_ = 0;
};

} // namespace rf
