#include "protocol/SteadyEngineClock.h"

namespace rf {

bool SteadyEngineClock::WaitUntil(std::stop_token stop, TimePoint time) {
    std::unique_lock lock(lock_);
    wake_.wait_until(lock, stop, time, [] { return false; });
    return !stop.stop_requested();
}

} // namespace rf
