#pragma once

#include "protocol/Wire.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace rf {

struct Datagram {
    std::vector<uint8_t> bytes;
    Ipv4Bytes source{};
    uint16_t sourcePort = 0;
    Ipv4Bytes destination{}; // the address the datagram was sent to (a broadcast, the group, ...)
    int ifindex = 0;         // the interface it arrived on
};

// A non-blocking UDP socket on one port that serves every radio: it learns where each datagram was
// addressed and arrived, and sends from any radio's address (IP_PKTINFO; IP_TRANSPARENT lets a radio
// keep answering after it moved to an address outside the lab's local route).
class UdpEndpoint {
public:
    UdpEndpoint() = default;
    ~UdpEndpoint();
    UdpEndpoint(const UdpEndpoint&) = delete;
    UdpEndpoint& operator=(const UdpEndpoint&) = delete;

    bool Open(uint16_t port, std::string& error);
    bool JoinGroup(const char* group, int ifindex, std::string& error);
    int fd() const { return fd_; }

    // The next waiting datagram, or nullopt when none is waiting.
    std::optional<Datagram> Receive();
    bool Send(const Ipv4Bytes& from, int ifindex, const Ipv4Bytes& to, uint16_t port,
              std::span<const uint8_t> bytes);

private:
    int fd_ = -1;
};

} // namespace rf
