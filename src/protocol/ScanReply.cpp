#include "protocol/ScanReply.h"

#include <algorithm>

namespace rf {

std::optional<ScanReply> ScanReply::Decode(std::span<const uint8_t> payload) {
    if (payload.size() < kEntriesOffset) {
        return std::nullopt;
    }
    ScanReply reply;
    reply.packet_count = payload[kPacketCountOffset];
    reply.packet_id = payload[kPacketIdOffset];
    reply.icount = payload[kIcountOffset];
    const size_t whole = (payload.size() - kEntriesOffset) / ScanEntry::kSize;
    const size_t count = std::min({size_t{reply.icount}, kMaxEntries, whole});
    reply.entries.reserve(count);
    for (size_t i = 0; i < count; ++i) {
        reply.entries.push_back(
            ScanEntry::FromBytes(payload.subspan(kEntriesOffset + i * ScanEntry::kSize, ScanEntry::kSize)));
    }
    return reply;
}

size_t ScanReply::Encode(std::span<uint8_t> out) const {
    const size_t count = std::min(entries.size(), kMaxEntries);
    const size_t size = kEntriesOffset + count * ScanEntry::kSize;
    if (out.size() < size) {
        return 0;
    }
    out[kPacketCountOffset] = packet_count;
    out[kPacketIdOffset] = packet_id;
    out[kIcountOffset] = static_cast<uint8_t>(count);
    for (size_t i = 0; i < count; ++i) {
        std::ranges::copy(entries[i].bytes(),
                          out.begin() + static_cast<ptrdiff_t>(kEntriesOffset + i * ScanEntry::kSize));
    }
    return size;
}

} // namespace rf
