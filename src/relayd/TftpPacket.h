#pragma once

#include "core/ServedFileName.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace rf::tftp {

enum Opcode : uint16_t {
    kReadRequest = 1,
    kWriteRequest = 2,
    kData = 3,
    kAck = 4,
    kError = 5,
    kOptionAck = 6,
};

enum ErrorCode : uint16_t {
    kNotDefined = 0,
    kFileNotFound = 1,
    kAccessViolation = 2,
    kIllegalOperation = 4,
    kUnknownTransferId = 5,
    kOptionRefused = 8,
};

constexpr uint16_t kDefaultBlockSize = 512;
constexpr uint16_t kMinBlockSize = 8;
constexpr uint16_t kMaxBlockSize = 65464;
constexpr size_t kHeaderSize = 4;
constexpr size_t kMaxNameLength = kMaxServedNameLength;
// Headers of a datagram that carries one block: IPv4 20, UDP 8.
constexpr size_t kIpUdpOverhead = 28;

// TFTP fields are in network byte order (big-endian).
inline uint16_t ReadU16(std::span<const uint8_t> bytes, size_t offset) {
    return static_cast<uint16_t>((bytes[offset] << 8) | bytes[offset + 1]);
}
inline void WriteU16(uint8_t* out, uint16_t value) {
    out[0] = static_cast<uint8_t>(value >> 8);
    out[1] = static_cast<uint8_t>(value & 0xFF);
}

std::vector<uint8_t> BuildError(ErrorCode code, std::string_view message);

} // namespace rf::tftp
