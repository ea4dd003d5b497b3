#pragma once

#include "protocol/ScanEntry.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace rf {

// The payload of a ScanAps reply: which packet of the scan this is and the entries it carries.
struct ScanReply {
    static constexpr size_t kPacketCountOffset = 0;
    static constexpr size_t kPacketIdOffset = 1;
    static constexpr size_t kIcountOffset = 2;
    static constexpr size_t kEntriesOffset = 3;
    static constexpr size_t kMaxEntries = 32;
    static constexpr size_t kMaxSize = kEntriesOffset + kMaxEntries * ScanEntry::kSize; // 1411

    uint8_t packet_count = 0;
    uint8_t packet_id = 0;
    uint8_t icount = 0; // as sent by the device
    // At most 32 entries and never more than the received bytes hold whole.
    std::vector<ScanEntry> entries;

    // nullopt when the payload is shorter than the three counters.
    static std::optional<ScanReply> Decode(std::span<const uint8_t> payload);

    // Writes packet_count, packet_id, entries.size() as icount and up to 32 entries into out; returns
    // the bytes written, or 0 when out is too small.
    size_t Encode(std::span<uint8_t> out) const;

    // The packet that completes a scan: packet_id == packet_count - 1 (a count of 0 never completes).
    bool IsLast() const { return packet_count != 0 && packet_id + 1 == packet_count; }
};

} // namespace rf
