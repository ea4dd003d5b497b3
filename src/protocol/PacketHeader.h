#pragma once

#include "protocol/Wire.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace rf {

// The 16-byte header in front of every datagram.
struct PacketHeader {
    static constexpr size_t kMagicOffset = 0;
    static constexpr size_t kModelOffset = 2;
    static constexpr size_t kTypeOffset = 4;
    static constexpr size_t kAddressedOffset = 6;
    static constexpr size_t kReservedOffset = 7;
    static constexpr size_t kMacOffset = 8;
    static constexpr size_t kLengthOffset = 14;

    uint16_t magic = kMagic;
    uint16_t model = 0; // the sender's model code from a device; 0 from the PC
    uint16_t type = 0;  // a MessageType; kept as the raw number because devices may send any value
    uint8_t addressed = 0;
    uint8_t reserved = 0;
    MacAddress mac{};
    uint16_t length = 0; // payload bytes that follow

    MessageType messageType() const { return static_cast<MessageType>(type); }

    void Encode(std::span<uint8_t, kHeaderSize> out) const;
    std::array<uint8_t, kHeaderSize> Encode() const;

    // A received datagram: nullopt unless it is kHeaderSize..kMaxDatagram bytes and starts with kMagic.
    static std::optional<PacketHeader> Decode(std::span<const uint8_t> datagram);
    // A datagram as the PC takes it from a device: as Decode, and length counts exactly the bytes received
    // after the header.
    static std::optional<PacketHeader> DecodeReceived(std::span<const uint8_t> datagram);
};

// The payload of an accepted datagram: the bytes received after the header, at most header.length of them.
std::span<const uint8_t> PacketPayload(std::span<const uint8_t> datagram);

// Builds a datagram from the PC into out (its first kMaxDatagram bytes zeroed first): model 0, the given
// type, addressed 1 or 0, the target MAC and the payload. Returns kHeaderSize + payload size, or 0 when
// the payload exceeds kMaxPayload or does not fit into out.
size_t BuildPacket(std::span<uint8_t> out, MessageType type, const MacAddress& mac, bool addressed,
                   std::span<const uint8_t> payload);

} // namespace rf
