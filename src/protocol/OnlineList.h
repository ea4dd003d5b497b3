#pragma once

#include "protocol/OnlineEntry.h"

#include <algorithm>
#include <string>
#include <unordered_map>
#include <vector>

namespace rf {

// The engine's devices online, in the order they first answered, at most one entry per MAC. An entry is
// found by its MAC, and a detailed entry by its address, without walking the list: with ten thousand
// devices every answer and reply looks one up. An entry's address and state change only through
// SetIp and SetState, which keep the lookup by address right; its other fields may be written directly.
class OnlineList {
public:
    OnlineEntry* Find(const std::string& mac);
    const OnlineEntry* Find(const std::string& mac) const;
    // Appends the entry of a MAC that is not listed yet.
    OnlineEntry& Add(OnlineEntry entry);
    void SetIp(OnlineEntry& entry, const std::string& ip);
    void SetState(OnlineEntry& entry, OnlineEntry::State state);
    // Whether a detailed entry other than `own` has the address ip.
    bool DetailedElsewhere(const std::string& ip, const OnlineEntry& own) const;

    // Removes the entries for which remove(entry) holds; remove may change the entries it keeps, except
    // their address and state.
    template <typename Remove> void EraseIf(Remove remove) {
        std::erase_if(entries_, remove);
        Reindex();
    }
    std::vector<OnlineEntry> TakeAll();

    const std::vector<OnlineEntry>& Entries() const { return entries_; }

private:
    size_t PositionOf(const OnlineEntry& entry) const;
    void IndexAddress(size_t position);
    void UnindexAddress(size_t position);
    void Reindex();

    std::vector<OnlineEntry> entries_;
    std::unordered_map<std::string, size_t> byMac_;
    std::unordered_multimap<std::string, size_t> detailedByIp_;
};

} // namespace rf
