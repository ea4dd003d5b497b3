#pragma once

#include <atomic>
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
        running_ = true;
        thread_ = std::jthread([this, work = std::move(work)](std::stop_token stop) {
            work(stop);
            running_ = false;
        });
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
    // A worker is still at its work.
    bool Running() const { return running_; }

private:
    std::atomic<bool> running_{false};
    std::jthread thread_;
};

} // namespace rf
