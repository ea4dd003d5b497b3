#include "TftpClient.h"

#include <arpa/inet.h>
#include <cstring>
#include <netinet/in.h>
#include <poll.h>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace rf::test {

namespace {

sockaddr_in Address(const std::string& ip, uint16_t port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    if (::inet_pton(AF_INET, ip.c_str(), &address.sin_addr) != 1) {
        throw std::runtime_error("bad address " + ip);
    }
    return address;
}

int BoundSocket(const std::string& localAddress) {
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    const auto local = Address(localAddress, 0);
    if (fd < 0 || ::bind(fd, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0) {
        throw std::runtime_error("cannot bind a test socket on " + localAddress);
    }
    const int buffer = 4 << 20;
    ::setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &buffer, sizeof buffer);
    return fd;
}

std::optional<std::string> ReceiveOn(int fd, std::chrono::milliseconds timeout, sockaddr_in& from) {
    pollfd p{fd, POLLIN, 0};
    if (::poll(&p, 1, static_cast<int>(timeout.count())) <= 0) {
        return std::nullopt;
    }
    static thread_local std::vector<char> buffer(65536); // not cleared for every packet
    socklen_t length = sizeof from;
    const ssize_t n =
        ::recvfrom(fd, buffer.data(), buffer.size(), 0, reinterpret_cast<sockaddr*>(&from), &length);
    if (n < 0) {
        return std::nullopt;
    }
    return std::string(buffer.data(), static_cast<size_t>(n));
}

std::map<std::string, std::string> ParseOack(const std::string& packet) {
    std::map<std::string, std::string> options;
    size_t at = 2;
    while (at < packet.size()) {
        const auto nameEnd = packet.find('\0', at);
        const auto valueEnd = nameEnd == std::string::npos ? nameEnd : packet.find('\0', nameEnd + 1);
        if (valueEnd == std::string::npos) {
            break;
        }
        options[packet.substr(at, nameEnd - at)] = packet.substr(nameEnd + 1, valueEnd - nameEnd - 1);
        at = valueEnd + 1;
    }
    return options;
}

} // namespace

uint16_t Word(const std::string& packet, size_t offset) {
    return packet.size() < offset + 2 ? 0
                                      : static_cast<uint16_t>((static_cast<uint8_t>(packet[offset]) << 8) |
                                                              static_cast<uint8_t>(packet[offset + 1]));
}

uint16_t Opcode(const std::string& packet) {
    return Word(packet, 0);
}

std::string Ack(uint16_t block) {
    return std::string{0, 4, static_cast<char>(block >> 8), static_cast<char>(block & 0xFF)};
}

std::string MakeRequest(uint16_t opcode, const std::string& name, const std::string& mode,
                        const std::map<std::string, std::string>& options) {
    std::string packet{static_cast<char>(opcode >> 8), static_cast<char>(opcode & 0xFF)};
    packet += name + '\0' + mode + '\0';
    for (const auto& [key, value] : options) {
        packet += key + '\0' + value + '\0';
    }
    return packet;
}

TftpClient::TftpClient(std::string serverAddress, uint16_t serverPort, std::string localAddress)
    : socket_(BoundSocket(localAddress)), serverAddress_(std::move(serverAddress)), serverPort_(serverPort) {}

TftpClient::~TftpClient() {
    ::close(socket_);
}

TftpClient::Result TftpClient::Get(const std::string& fileName, const Options& options) {
    std::map<std::string, std::string> requested;
    if (options.blockSize) {
        requested["blksize"] = std::to_string(*options.blockSize);
    }
    if (options.transferSize) {
        requested["tsize"] = std::to_string(*options.transferSize);
    }
    if (options.timeoutSeconds) {
        requested["timeout"] = std::to_string(*options.timeoutSeconds);
    }
    if (options.windowSize) {
        requested["windowsize"] = std::to_string(*options.windowSize);
    }
    const std::string request = MakeRequest(1, fileName, options.mode, requested);
    const auto server = Address(serverAddress_, serverPort_);
    sockaddr_in peer{};
    auto send = [&](const std::string& packet, const sockaddr_in& to) {
        ::sendto(socket_, packet.data(), packet.size(), 0, reinterpret_cast<const sockaddr*>(&to), sizeof to);
    };

    Result result;
    size_t blockSize = 512;
    uint64_t window = 1;
    uint64_t received = 0;  // blocks held, in order
    uint64_t ackedUpTo = 0; // last block acknowledged
    bool started = false;   // the server answered
    bool gapReported = false;
    std::string lastAck;
    auto acknowledge = [&](uint64_t block) {
        lastAck = Ack(static_cast<uint16_t>(block & 0xFFFF));
        send(lastAck, peer);
        if (options.ackTwice) {
            send(lastAck, peer);
        }
        ackedUpTo = block;
    };

    send(request, server);
    auto lastHeard = std::chrono::steady_clock::now();
    for (;;) {
        sockaddr_in from{};
        const auto packet = ReceiveOn(socket_, options.retransmit, from);
        const auto now = std::chrono::steady_clock::now();
        if (!packet) {
            if (now - lastHeard > options.giveUp) {
                result.errorMessage = "client gave up";
                return result;
            }
            started ? send(lastAck, peer) : send(request, server);
            continue;
        }
        if (from.sin_addr.s_addr != server.sin_addr.s_addr || (started && from.sin_port != peer.sin_port)) {
            continue;
        }
        if (!started) {
            started = true;
            peer = from;
            result.serverPort = ntohs(from.sin_port);
        }
        lastHeard = now;
        const uint16_t opcode = Opcode(*packet);
        if (opcode == 5) {
            result.errorCode = Word(*packet, 2);
            result.errorMessage = packet->substr(4, packet->find('\0', 4) - 4);
            return result;
        }
        if (opcode == 6 && received == 0) {
            result.oack = ParseOack(*packet);
            if (result.oack.contains("blksize")) {
                blockSize = std::stoul(result.oack["blksize"]);
            }
            if (result.oack.contains("windowsize")) {
                window = std::stoul(result.oack["windowsize"]);
            }
            acknowledge(0);
            continue;
        }
        if (opcode != 3 || packet->size() < 4) {
            continue;
        }
        ++result.dataPackets;
        const uint16_t wire = Word(*packet, 2);
        if (wire != static_cast<uint16_t>((received + 1) & 0xFFFF)) {
            const auto behind = static_cast<uint16_t>(static_cast<uint16_t>(received & 0xFFFF) - wire);
            if (behind < 0x8000) {
                ++result.duplicatePackets; // a block we hold: our acknowledgement was lost
                acknowledge(received);
            } else if (!gapReported) {
                gapReported = true; // a block went missing: say where we are, once
                acknowledge(received);
            }
            continue;
        }
        gapReported = false;
        ++received;
        result.data.append(*packet, 4);
        if (options.onBlock) {
            options.onBlock(received, result.serverPort);
        }
        const bool last = packet->size() - 4 < blockSize;
        if (last || received - ackedUpTo >= window) {
            acknowledge(received);
        }
        if (last) {
            result.complete = true;
            while (options.dally) {
                const auto more = ReceiveOn(socket_, options.retransmit * 3, from);
                if (!more) {
                    break;
                }
                if (from.sin_port == peer.sin_port && Opcode(*more) == 3) {
                    send(lastAck, peer);
                }
            }
            return result;
        }
    }
}

UdpPeer::UdpPeer(const std::string& localAddress) : socket_(BoundSocket(localAddress)) {}

UdpPeer::~UdpPeer() {
    ::close(socket_);
}

void UdpPeer::SendTo(const std::string& address, uint16_t port, const std::string& packet) {
    const auto to = Address(address, port);
    ::sendto(socket_, packet.data(), packet.size(), 0, reinterpret_cast<const sockaddr*>(&to), sizeof to);
}

std::optional<std::string> UdpPeer::Receive(std::chrono::milliseconds timeout, uint16_t* fromPort) {
    sockaddr_in from{};
    auto packet = ReceiveOn(socket_, timeout, from);
    if (packet && fromPort != nullptr) {
        *fromPort = ntohs(from.sin_port);
    }
    return packet;
}

uint16_t UdpPeer::Port() const {
    sockaddr_in local{};
    socklen_t length = sizeof local;
    ::getsockname(socket_, reinterpret_cast<sockaddr*>(&local), &length);
    return ntohs(local.sin_port);
}

} // namespace rf::test
