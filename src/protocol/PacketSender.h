#pragma once

#include <cstdint>
#include <netinet/in.h>
#include <span>

namespace rf {

// A local address in a device's subnet, through which packets for that device leave.
struct LocalAddress {
    in_addr_t ip = 0;            // network byte order
    in_addr_t mask = 0;          // network byte order
    unsigned interfaceIndex = 0; // 0 when unknown: the source address then chooses the interface
};

// Where the engine's datagrams go. The engine sends through its own sockets unless it is given another
// sender (tests record what the engine wanted to send).
class IPacketSender {
public:
    virtual ~IPacketSender() = default;
    // A search broadcast from port 9786 to destination, port 9786.
    virtual bool SendSearch(in_addr_t destination, std::span<const std::uint8_t> datagram) = 0;
    // A packet for one device: from via's address, port 9787, out of via's interface, to the multicast
    // group on port 9787.
    virtual bool SendToDevice(const LocalAddress& via, std::span<const std::uint8_t> datagram) = 0;
};

} // namespace rf
