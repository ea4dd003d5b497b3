#include "protocol/OnlineList.h"

namespace rf {

OnlineEntry* OnlineList::Find(const std::string& mac) {
    const auto found = byMac_.find(mac);
    return found == byMac_.end() ? nullptr : &entries_[found->second];
}

const OnlineEntry* OnlineList::Find(const std::string& mac) const {
    const auto found = byMac_.find(mac);
    return found == byMac_.end() ? nullptr : &entries_[found->second];
}

OnlineEntry& OnlineList::Add(OnlineEntry entry) {
    entries_.push_back(std::move(entry));
    const size_t position = entries_.size() - 1;
    byMac_[entries_.back().mac] = position;
    IndexAddress(position);
    return entries_.back();
}

void OnlineList::SetIp(OnlineEntry& entry, const std::string& ip) {
    const size_t position = PositionOf(entry);
    UnindexAddress(position);
    entry.ip = ip;
    IndexAddress(position);
}

void OnlineList::SetState(OnlineEntry& entry, OnlineEntry::State state) {
    const size_t position = PositionOf(entry);
    UnindexAddress(position);
    entry.state = state;
    IndexAddress(position);
}

bool OnlineList::DetailedElsewhere(const std::string& ip, const OnlineEntry& own) const {
    const auto [first, last] = detailedByIp_.equal_range(ip);
    return std::any_of(first, last, [&](const auto& held) { return &entries_[held.second] != &own; });
}

std::vector<OnlineEntry> OnlineList::TakeAll() {
    std::vector<OnlineEntry> taken;
    taken.swap(entries_);
    Reindex();
    return taken;
}

size_t OnlineList::PositionOf(const OnlineEntry& entry) const {
    return static_cast<size_t>(&entry - entries_.data());
}

void OnlineList::IndexAddress(size_t position) {
    if (entries_[position].state == OnlineEntry::Detailed) {
        detailedByIp_.emplace(entries_[position].ip, position);
    }
}

void OnlineList::UnindexAddress(size_t position) {
    const auto [first, last] = detailedByIp_.equal_range(entries_[position].ip);
    for (auto held = first; held != last; ++held) {
        if (held->second == position) {
            detailedByIp_.erase(held);
            return;
        }
    }
}

void OnlineList::Reindex() {
    byMac_.clear();
    detailedByIp_.clear();
    for (size_t position = 0; position < entries_.size(); ++position) {
        byMac_[entries_[position].mac] = position;
        IndexAddress(position);
    }
}

} // namespace rf
