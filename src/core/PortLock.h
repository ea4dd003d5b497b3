#pragma once

#include <string>

namespace rf {

// Held by whatever opens the protocol's UDP ports (the program, radiofleet-cli), one holder per network
// namespace whoever the user: a unix socket bound to an abstract name. Abstract names belong to the network
// namespace, any user may take a free one, and the system frees it when the holder's process ends.
class PortLock {
public:
    static constexpr const char* kName = "radiofleet-ports";

    explicit PortLock(std::string name = kName) : name_(std::move(name)) {}
    ~PortLock() { Release(); }
    PortLock(const PortLock&) = delete;
    PortLock& operator=(const PortLock&) = delete;

    // True when this object holds the lock afterwards (also when it already did). False when another
    // holder has it (HeldElsewhere) or no socket could be made for it (Error tells why).
    bool Acquire();
    void Release();
    bool Held() const { return fd_ >= 0; }
    bool HeldElsewhere() const { return heldElsewhere_; }
    const std::string& Error() const { return error_; }

private:
    std::string name_;
    int fd_ = -1;
    bool heldElsewhere_ = false;
    std::string error_;
};

} // namespace rf
