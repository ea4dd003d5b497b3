#include "protocol/ReceivedPacket.h"

#include "protocol/UdpSocket.h"

#include <algorithm>

namespace rf {

ReceivedPacket ReceivedPacket::Make(in_addr_t senderAddress, std::uint16_t senderPort,
                                    std::span<const std::uint8_t> datagram) {
    ReceivedPacket packet;
    packet.from.sin_family = AF_INET;
    packet.from.sin_addr.s_addr = senderAddress;
    packet.from.sin_port = htons(senderPort);
    packet.size = std::min(datagram.size(), packet.data.size());
    std::copy_n(datagram.begin(), packet.size, packet.data.begin());
    return packet;
}

std::string ReceivedPacket::SenderIpText() const {
    return Ipv4Text(from.sin_addr.s_addr);
}

bool AcceptDatagram(ReceiveSocket socket, std::span<const std::uint8_t> datagram) {
    const auto header = PacketHeader::DecodeReceived(datagram);
    if (!header) {
        return false;
    }
    switch (socket) {
    case ReceiveSocket::Announce:
        return header->messageType() == MessageType::Search;
    case ReceiveSocket::Heartbeat:
        return header->messageType() == MessageType::Heartbeat;
    case ReceiveSocket::Reply:
        return true;
    }
    return false;
}

} // namespace rf
