#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace rf {

// Entry points for fuzzing the decoders of received data. Each decodes arbitrary bytes, reads every field
// of the result and aborts when an invariant of the decoded value does not hold (a text longer than its
// field, more scan entries than received, a re-encoding that differs). The result only keeps the work
// from being optimised away.
size_t CheckPacketHeaderDecode(std::span<const uint8_t> data);
size_t CheckDeviceInfoDecode(std::span<const uint8_t> data);
size_t CheckAnnounceRecordDecode(std::span<const uint8_t> data);
size_t CheckScanReplyDecode(std::span<const uint8_t> data);

} // namespace rf
