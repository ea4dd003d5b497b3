#pragma once

#include "relayd/RelaydServer.h"
#include "support/LabRequirement.h"

#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <sched.h>
#include <stdexcept>
#include <string>
#include <thread>
#include <unistd.h>

namespace rf::test {

// The server of the library, serving directory on a loopback port the system picks, in its own thread.
class ServerThread {
public:
    explicit ServerThread(const std::string& directory, RelaydConfig config = {},
                          CRelaydLoop::StatusSink status = {}) {
        config.directory = directory;
        config.bindAddress = "0.0.0.0";
        config.port = 0;
        server_ = std::make_unique<CRelaydServer>(config);
        server_->SetStatusSink(std::move(status));
        std::string error;
        if (!server_->Start(error)) {
            throw std::runtime_error(error);
        }
        thread_ = std::jthread([this](std::stop_token stop) { server_->Run(stop); });
    }
    ~ServerThread() {
        thread_.request_stop();
        thread_.join();
    }
    CRelaydServer& Server() { return *server_; }
    uint16_t Port() const { return server_->Port(); }

private:
    std::unique_ptr<CRelaydServer> server_;
    std::jthread thread_;
};

// A network namespace of the test's own, entered by the calling thread (and so by the threads it starts)
// until the object ends; the namespace is deleted then.
class ScratchNamespace {
public:
    ScratchNamespace() {
        name_ =
            "rfrelayd-" + std::to_string(::getpid()) + "-" + std::to_string(std::random_device{}() % 100000);
        if (Shell("ip netns add " + name_) != 0) {
            throw std::runtime_error("cannot create network namespace " + name_);
        }
        created_ = true;
        Shell("ip -n " + name_ + " link set lo up");
        original_ = ::open("/proc/thread-self/ns/net", O_RDONLY | O_CLOEXEC);
        const int target = ::open(("/run/netns/" + name_).c_str(), O_RDONLY | O_CLOEXEC);
        if (original_ < 0 || target < 0 || ::setns(target, CLONE_NEWNET) != 0) {
            if (target >= 0) {
                ::close(target);
            }
            throw std::runtime_error("cannot enter network namespace " + name_);
        }
        ::close(target);
    }
    ~ScratchNamespace() {
        if (original_ >= 0) {
            ::setns(original_, CLONE_NEWNET);
            ::close(original_);
        }
        if (created_) {
            Shell("ip netns del " + name_);
        }
    }
    ScratchNamespace(const ScratchNamespace&) = delete;
    ScratchNamespace& operator=(const ScratchNamespace&) = delete;

    // Runs a command inside the namespace; its exit status.
    int Exec(const std::string& command) const { return Shell("ip netns exec " + name_ + " " + command); }
    const std::string& Name() const { return name_; }

    static int Shell(const std::string& command) {
        return std::system((command + " >/dev/null 2>&1").c_str());
    }

private:
    std::string name_;
    bool created_ = false;
    int original_ = -1;
};

// A file of pseudo-random bytes of the given size, the same for the same seed.
inline std::string PatternData(size_t size, uint32_t seed = 1) {
    std::string data(size, '\0');
    std::mt19937 random(seed);
    for (auto& c : data) {
        c = static_cast<char>(random() & 0xFF);
    }
    return data;
}

} // namespace rf::test
