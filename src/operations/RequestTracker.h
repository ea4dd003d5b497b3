#pragma once

#include "protocol/RequestEnd.h"

#include <condition_variable>
#include <cstddef>
#include <memory>
#include <mutex>
#include <optional>
#include <stop_token>
#include <vector>

namespace rf {

// Collects the ends of a group of requests that the engine reports on its own threads, and lets one
// thread wait until all of them have ended. The state is shared with the callbacks, so a report that
// comes after the waiter gave up (stopped) lands harmlessly.
class RequestTracker {
public:
    explicit RequestTracker(size_t count) : state_(std::make_shared<State>(count)) {}

    // The callback for request i; hand it to SendCommand.
    RequestDone Slot(size_t i) {
        {
            std::lock_guard lock(state_->lock);
            ++state_->open;
        }
        return [state = state_, i](const RequestEnd& end) {
            {
                std::lock_guard lock(state->lock);
                state->ends[i] = end;
                --state->open;
            }
            state->changed.notify_all();
        };
    }
    // A request whose callback was made but never handed over (nothing was sent).
    void Abandon(size_t i) {
        (void)i;
        std::lock_guard lock(state_->lock);
        --state_->open;
    }
    // Until every request handed out has ended; false when stop came first.
    bool WaitAll(std::stop_token stop) {
        std::unique_lock lock(state_->lock);
        return state_->changed.wait(lock, stop, [this] { return state_->open == 0; });
    }
    std::optional<RequestEnd> End(size_t i) const {
        std::lock_guard lock(state_->lock);
        return state_->ends[i];
    }

private:
    struct State {
        explicit State(size_t count) : ends(count) {}
        std::mutex lock;
        std::condition_variable_any changed;
        std::vector<std::optional<RequestEnd>> ends;
        int open = 0;
    };
    std::shared_ptr<State> state_;
};

} // namespace rf
