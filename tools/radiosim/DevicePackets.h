#pragma once

#include "Radio.h"

#include "protocol/Wire.h"

#include <cstdint>
#include <span>
#include <vector>

namespace rf {

// A datagram from a device: its model and MAC in the header, not addressed, then the payload.
std::vector<uint8_t> DevicePacket(uint16_t type, uint16_t model, const MacAddress& mac,
                                  std::span<const uint8_t> payload);

// The ScanAps answer of scanner: the other access points of its segment (strongest nearby) and a few
// neighbours from outside the lab, at most 32 entries a packet.
std::vector<std::vector<uint8_t>> ScanPayloads(const Radio& scanner, const std::vector<Radio>& radios,
                                               uint64_t seed);

// Malformed and hostile datagrams for the PC's three receiving ports, sent as if from address from.
struct HostileDatagram {
    uint16_t port;
    std::vector<uint8_t> bytes;
};
std::vector<HostileDatagram> HostileDatagrams(const MacAddress& mac);

} // namespace rf
