#pragma once

#include <functional>
#include <stop_token>
#include <thread>

namespace rf {

// Runs at most one worker of a kind. Starting a new one asks the running one to stop and waits for it;
// so does destruction. Workers check their stop token between sends, so the wait is short and no lock of
// the engine or the store is left held.
class WorkerSlot {
public:
    WorkerSlot() = default;
    ~WorkerSlot() { Stop(); }
    WorkerSlot(const WorkerSlot&) = delete;
    WorkerSlot& operator=(const WorkerSlot&) = delete;

    void Start(std::function<void(std::stop_token)> work) {
        Stop();
        thread_ = std::jthread(std::move(work));
    }
    void Stop() {
        if (thread_.joinable()) {
            thread_.request_stop();
            thread_.join();
        }
    }
    // Lets the running worker finish.
    void Wait() {
        if (thread_.joinable()) {
            thread_.join();
        }
    }
    bool Started() const { return thread_.joinable(); }

private:
    std::jthread thread_;
};

} // namespace rf
