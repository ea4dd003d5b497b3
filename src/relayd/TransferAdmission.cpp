#include "relayd/TransferAdmission.h"

namespace rf {

CTransferAdmission::CTransferAdmission(size_t maxTotal, size_t maxPerAddress)
    : maxTotal_(maxTotal), maxPerAddress_(maxPerAddress) {}

bool CTransferAdmission::TryAdmit(in_addr_t address) {
    const std::lock_guard lock(mutex_);
    const auto it = byAddress_.find(address);
    const size_t fromAddress = it == byAddress_.end() ? 0 : it->second;
    if (active_.load() >= maxTotal_ || fromAddress >= maxPerAddress_) {
        return false;
    }
    ++byAddress_[address];
    ++active_;
    return true;
}

void CTransferAdmission::Release(in_addr_t address) {
    const std::lock_guard lock(mutex_);
    const auto it = byAddress_.find(address);
    if (it == byAddress_.end()) {
        return;
    }
    if (--it->second == 0) {
        byAddress_.erase(it);
    }
    --active_;
}

} // namespace rf
