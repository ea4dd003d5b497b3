#include "PcClient.h"

#include <poll.h>

namespace rf::test {

PcClient::PcClient(const Lab& lab, int subnet) : address_(Lab::PcAddress(subnet)) {
    search_ = lab.OpenUdpInPc(address_, kSearchPort);
    announce_ = lab.OpenUdpInPc("0.0.0.0", kAnnouncePort);
    heartbeat_ = lab.OpenUdpInPc("0.0.0.0", kHeartbeatPort);
    reply_ = lab.OpenUdpInPc("0.0.0.0", kReplyPort);
    if (search_ >= 0) {
        in_addr interface {};
        ::inet_pton(AF_INET, address_.c_str(), &interface);
        ::setsockopt(search_, IPPROTO_IP, IP_MULTICAST_IF, &interface, sizeof interface);
    }
}

PcClient::~PcClient() {
    for (int fd : {search_, announce_, heartbeat_, reply_}) {
        if (fd >= 0) {
            ::close(fd);
        }
    }
}

namespace {

void SendTo(int fd, const std::string& address, uint16_t port, std::span<const uint8_t> bytes) {
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(port);
    ::inet_pton(AF_INET, address.c_str(), &to.sin_addr);
    ::sendto(fd, bytes.data(), bytes.size(), 0, reinterpret_cast<sockaddr*>(&to), sizeof to);
}

} // namespace

void PcClient::Search(const std::string& destination) {
    std::array<uint8_t, kMaxDatagram> packet{};
    const size_t size = BuildPacket(packet, MessageType::Search, MacAddress{}, false, {});
    SendTo(search_, destination, kSearchPort, std::span(packet.data(), size));
}

void PcClient::Command(MessageType type, const MacAddress& mac, std::span<const uint8_t> payload) {
    std::array<uint8_t, kMaxDatagram> packet{};
    const size_t size = BuildPacket(packet, type, mac, true, payload);
    SendTo(search_, kMulticastGroup, kHeartbeatPort, std::span(packet.data(), size));
}

int PcClient::SocketFor(uint16_t port) const {
    return port == kAnnouncePort ? announce_ : port == kHeartbeatPort ? heartbeat_ : reply_;
}

std::optional<Received> PcClient::ReceiveOne(int fd, int timeoutMs) {
    pollfd p{fd, POLLIN, 0};
    if (::poll(&p, 1, timeoutMs) <= 0) {
        return std::nullopt;
    }
    std::vector<uint8_t> buffer(65536);
    sockaddr_in from{};
    socklen_t length = sizeof from;
    const ssize_t n =
        ::recvfrom(fd, buffer.data(), buffer.size(), 0, reinterpret_cast<sockaddr*>(&from), &length);
    if (n < 0) {
        return std::nullopt;
    }
    buffer.resize(static_cast<size_t>(n));
    char text[INET_ADDRSTRLEN] = {};
    ::inet_ntop(AF_INET, &from.sin_addr, text, sizeof text);
    Received r{std::move(buffer), text, std::nullopt};
    r.header = PacketHeader::Decode(r.bytes);
    return r;
}

std::vector<Received> PcClient::Collect(uint16_t port, std::chrono::milliseconds during) {
    std::vector<Received> all;
    const auto deadline = std::chrono::steady_clock::now() + during;
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            return all;
        }
        if (auto r = ReceiveOne(SocketFor(port), static_cast<int>(left.count()))) {
            all.push_back(std::move(*r));
        }
    }
}

std::optional<Received> PcClient::WaitReply(MessageType type, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            return std::nullopt;
        }
        auto r = ReceiveOne(reply_, static_cast<int>(left.count()));
        if (r && r->header && r->header->messageType() == type) {
            return r;
        }
    }
}

std::string JsonField(const std::string& line, const std::string& key) {
    const std::string marker = "\"" + key + "\":";
    const auto at = line.find(marker);
    if (at == std::string::npos) {
        return "";
    }
    size_t start = at + marker.size();
    if (line[start] == '"') {
        const auto end = line.find('"', start + 1);
        return line.substr(start + 1, end - start - 1);
    }
    if (line[start] == '{') {
        return line.substr(start, line.find('}', start) - start + 1);
    }
    const auto end = line.find_first_of(",}", start);
    return line.substr(start, end - start);
}

} // namespace rf::test
