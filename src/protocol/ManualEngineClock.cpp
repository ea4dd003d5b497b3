#include "protocol/ManualEngineClock.h"

namespace rf {

IEngineClock::TimePoint ManualEngineClock::Now() const {
    std::lock_guard lock(lock_);
    return now_;
}

bool ManualEngineClock::WaitUntil(std::stop_token stop, TimePoint time) {
    std::unique_lock lock(lock_);
    if (time <= now_) {
        return !stop.stop_requested();
    }
    const auto mine = waiting_.insert(time);
    changed_.notify_all();
    changed_.wait(lock, stop, [&] { return now_ >= time; });
    waiting_.erase(mine);
    changed_.notify_all();
    return !stop.stop_requested();
}

void ManualEngineClock::Advance(std::chrono::steady_clock::duration by) {
    {
        std::lock_guard lock(lock_);
        now_ += by;
    }
    changed_.notify_all();
}

bool ManualEngineClock::WaitForWaiters(size_t count, std::chrono::milliseconds timeout) {
    std::unique_lock lock(lock_);
    return changed_.wait_for(lock, timeout, [&] { return WaitersAhead() >= count; });
}

size_t ManualEngineClock::WaitersAhead() const {
    size_t ahead = 0;
    for (auto it = waiting_.upper_bound(now_); it != waiting_.end(); ++it) {
        ++ahead;
    }
    return ahead;
}

} // namespace rf
