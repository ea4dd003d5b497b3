#pragma once

#include <chrono>
#include <stop_token>

namespace rf {

// The time the engine's workers go by: when a pending request is due for a resend, when the online list
// is aged. The program runs on the steady clock; tests give the engine a clock they move themselves.
class IEngineClock {
public:
    using TimePoint = std::chrono::steady_clock::time_point;

    virtual ~IEngineClock() = default;
    virtual TimePoint Now() const = 0;
    // Blocks until Now() has reached time or stop is requested; false when stop was requested.
    virtual bool WaitUntil(std::stop_token stop, TimePoint time) = 0;
};

} // namespace rf
