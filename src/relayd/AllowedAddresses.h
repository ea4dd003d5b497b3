#pragma once

#include <mutex>
#include <netinet/in.h>
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

namespace rf {

// The client addresses the server serves, shared by its loops and changed while they run. Until it is
// given a list it serves everyone; an empty list serves nobody.
class CAllowedAddresses {
public:
    void Set(const std::vector<in_addr_t>& addresses);
    bool Allows(in_addr_t address) const;

    // The addresses of dotted-quad texts; nullopt when one of them is not an IPv4 address.
    static std::optional<std::vector<in_addr_t>> Parse(const std::vector<std::string>& texts);

private:
    mutable std::mutex mutex_;
    std::optional<std::unordered_set<in_addr_t>> addresses_; // guarded by mutex_
};

} // namespace rf
