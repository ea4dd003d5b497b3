#pragma once

#include "protocol/PacketHeader.h"
#include "protocol/Wire.h"

#include <array>
#include <cstdint>
#include <netinet/in.h>
#include <span>
#include <string>

namespace rf {

// The socket a datagram arrived on; each keeps different message types.
enum class ReceiveSocket { Announce, Heartbeat, Reply };

// One received datagram waiting for its processor: the sender and a copy of at most kMaxDatagram bytes.
struct ReceivedPacket {
    sockaddr_in from{};
    std::array<std::uint8_t, kMaxDatagram> data{};
    size_t size = 0;

    // Copies datagram (cut to kMaxDatagram) from sender address (network byte order) and port.
    static ReceivedPacket Make(in_addr_t senderAddress, std::uint16_t senderPort,
                               std::span<const std::uint8_t> datagram);

    std::span<const std::uint8_t> Bytes() const { return std::span(data).first(size); }
    std::string SenderIpText() const;
};

// Whether a datagram arriving on socket is kept: 16 to 1472 bytes with the magic and a header length that
// counts the bytes after the header, and on the announce socket only type 1, on the heartbeat socket only
// type 15.
bool AcceptDatagram(ReceiveSocket socket, std::span<const std::uint8_t> datagram);

} // namespace rf
