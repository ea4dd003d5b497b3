#pragma once

#include <atomic>
#include <cstddef>
#include <mutex>
#include <netinet/in.h>
#include <unordered_map>

namespace rf {

// Counts the transfers of every event loop against the limits, in total and per client address, so that
// a client cannot exceed its share by having its requests land on different loops.
class CTransferAdmission {
public:
    CTransferAdmission(size_t maxTotal, size_t maxPerAddress);

    // Takes a place for one more transfer from address; false when a limit is reached.
    bool TryAdmit(in_addr_t address);
    // Gives back a place taken by TryAdmit.
    void Release(in_addr_t address);
    size_t Active() const { return active_.load(); }

private:
    const size_t maxTotal_;
    const size_t maxPerAddress_;
    std::mutex mutex_;
    std::unordered_map<in_addr_t, size_t> byAddress_; // guarded by mutex_
    std::atomic<size_t> active_{0};                   // written under mutex_
};

} // namespace rf
