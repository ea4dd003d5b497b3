#include "protocol/ScanEntry.h"

namespace rf {

ScanEntry ScanEntry::FromBytes(std::span<const uint8_t> bytes) {
    ScanEntry entry;
    entry.Assign(bytes);
    return entry;
}

} // namespace rf
