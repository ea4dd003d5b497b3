#include "relayd/TftpProbe.h"

#include "relayd/TftpPacket.h"

#include <arpa/inet.h>
#include <array>
#include <netinet/in.h>
#include <string_view>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace rf {

namespace {

// ".." keeps the name outside what any server of ours serves, so the answer is always a refusal.
constexpr std::string_view kProbeName = "..radiofleet-probe";

std::vector<uint8_t> ReadRequest() {
    std::vector<uint8_t> packet(2);
    tftp::WriteU16(packet.data(), tftp::kReadRequest);
    for (const std::string_view field : {kProbeName, std::string_view("octet")}) {
        packet.insert(packet.end(), field.begin(), field.end());
        packet.push_back(0);
    }
    return packet;
}

} // namespace

CTftpProbe::CTftpProbe(uint16_t port) {
    socket_ = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    sockaddr_in server{};
    server.sin_family = AF_INET;
    server.sin_port = htons(port);
    server.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    // Connected, the socket takes datagrams from the server's port only.
    if (socket_ >= 0 && ::connect(socket_, reinterpret_cast<const sockaddr*>(&server), sizeof server) != 0) {
        ::close(socket_);
        socket_ = -1;
    }
}

CTftpProbe::~CTftpProbe() {
    if (socket_ >= 0) {
        ::close(socket_);
    }
}

void CTftpProbe::Send() {
    if (socket_ >= 0) {
        const std::vector<uint8_t> request = ReadRequest();
        (void)::send(socket_, request.data(), request.size(), MSG_NOSIGNAL);
    }
}

bool CTftpProbe::Answered() {
    std::array<uint8_t, 512> packet{};
    while (!answered_ && socket_ >= 0) {
        const ssize_t n = ::recv(socket_, packet.data(), packet.size(), 0);
        if (n < 0) {
            break; // nothing more yet, or the port is still closed (refused)
        }
        answered_ = n >= 4 && tftp::ReadU16(packet, 0) == tftp::kError;
    }
    return answered_;
}

} // namespace rf
