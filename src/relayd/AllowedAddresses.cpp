#include "relayd/AllowedAddresses.h"

#include <arpa/inet.h>

namespace rf {

void CAllowedAddresses::Set(const std::vector<in_addr_t>& addresses) {
    const std::lock_guard lock(mutex_);
    addresses_.emplace(addresses.begin(), addresses.end());
}

bool CAllowedAddresses::Allows(in_addr_t address) const {
    const std::lock_guard lock(mutex_);
    return !addresses_ || addresses_->contains(address);
}

std::optional<std::vector<in_addr_t>> CAllowedAddresses::Parse(const std::vector<std::string>& texts) {
    std::vector<in_addr_t> addresses;
    for (const std::string& text : texts) {
        in_addr address{};
        if (::inet_pton(AF_INET, text.c_str(), &address) != 1) {
            return std::nullopt;
        }
        addresses.push_back(address.s_addr);
    }
    return addresses;
}

} // namespace rf
