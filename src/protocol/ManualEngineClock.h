#pragma once

#include "protocol/EngineClock.h"

#include <condition_variable>
#include <mutex>
#include <set>

namespace rf {

// A clock that stands still until it is moved, for tests that count resends or ageing passes without
// depending on how fast the machine is.
class ManualEngineClock : public IEngineClock {
public:
    TimePoint Now() const override;
    bool WaitUntil(std::stop_token stop, TimePoint time) override;

    // Moves the time on and wakes the waiters whose time has come.
    void Advance(std::chrono::steady_clock::duration by);

    // Waits (in real time, at most timeout) until at least count waiters are blocked on a time still
    // ahead, that is until the workers have done everything the time so far asked of them.
    bool WaitForWaiters(size_t count, std::chrono::milliseconds timeout = std::chrono::seconds(20));

private:
    size_t WaitersAhead() const;

    mutable std::mutex lock_;
    std::condition_variable_any changed_;
    TimePoint now_{std::chrono::hours(1)};
    std::multiset<TimePoint> waiting_; // the times the blocked waiters wait for
};

} // namespace rf
