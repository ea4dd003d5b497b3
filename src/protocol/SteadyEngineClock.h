#pragma once

#include "protocol/EngineClock.h"

#include <condition_variable>
#include <mutex>

namespace rf {

// The machine's monotonic clock; a wait ends early only when its stop is requested.
class SteadyEngineClock : public IEngineClock {
public:
    TimePoint Now() const override { return std::chrono::steady_clock::now(); }
    bool WaitUntil(std::stop_token stop, TimePoint time) override;

private:
    std::mutex lock_;
    std::condition_variable_any wake_; // notified only through stop requests
};

} // namespace rf
