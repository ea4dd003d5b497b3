#include "protocol/AnnounceRecord.h"

namespace rf {

AnnounceRecord AnnounceRecord::FromBytes(std::span<const uint8_t> payload) {
    AnnounceRecord record;
    record.Assign(payload);
    return record;
}

} // namespace rf
