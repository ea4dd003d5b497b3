#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <stop_token>

namespace rf {

// Waits out a pause on a worker thread; stop ends the wait at once. False when stopped.
inline bool Pause(std::chrono::milliseconds pause, std::stop_token stop) {
    if (pause <= std::chrono::milliseconds::zero()) {
        return !stop.stop_requested();
    }
    std::mutex mutex;
    std::condition_variable_any woken;
    std::unique_lock lock(mutex);
    woken.wait_for(lock, stop, pause, [] { return false; });
    return !stop.stop_requested();
}

} // namespace rf
