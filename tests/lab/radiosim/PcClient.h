#pragma once

#include "protocol/PacketHeader.h"
#include "support/Lab.h"

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace rf::test {

struct Received {
    std::vector<uint8_t> bytes;
    std::string source;
    std::optional<PacketHeader> header; // nullopt for datagrams that are not well formed
    std::span<const uint8_t> payload() const { return PacketPayload(bytes); }
};

// The PC side of the protocol, by hand: raw UDP sockets in the lab's PC namespace on one subnet.
class PcClient {
public:
    PcClient(const Lab& lab, int subnet);
    ~PcClient();
    PcClient(const PcClient&) = delete;
    PcClient& operator=(const PcClient&) = delete;

    bool Ok() const { return search_ >= 0 && announce_ >= 0 && heartbeat_ >= 0 && reply_ >= 0; }

    void Search(const std::string& destination);
    void Command(MessageType type, const MacAddress& mac, std::span<const uint8_t> payload = {});

    // Everything that arrives on a port within the time given (the announce, heartbeat or reply port).
    std::vector<Received> Collect(uint16_t port, std::chrono::milliseconds during);
    // The first well-formed datagram of the given type on the reply port, within timeout.
    std::optional<Received> WaitReply(MessageType type, std::chrono::milliseconds timeout);

private:
    int SocketFor(uint16_t port) const;
    std::optional<Received> ReceiveOne(int fd, int timeoutMs);

    std::string address_;
    int search_ = -1;
    int announce_ = -1;
    int heartbeat_ = -1;
    int reply_ = -1;
};

// A field of a one-line JSON object: a string's text or a number's digits ("" when absent).
std::string JsonField(const std::string& line, const std::string& key);

} // namespace rf::test
