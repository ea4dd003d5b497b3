#include "protocol/UdpSocket.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/socket.h>
#include <unistd.h>

namespace rf {

UdpSocket& UdpSocket::operator=(UdpSocket&& other) noexcept {
    if (this != &other) {
        Close();
        fd_ = other.fd_;
        other.fd_ = -1;
    }
    return *this;
}

void UdpSocket::Close() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

std::optional<UdpSocket> UdpSocket::Make(const Options& options, std::string* error) {
    const auto fail = [&](const char* step) -> std::optional<UdpSocket> {
        if (error != nullptr) {
            *error = "port " + std::to_string(options.port) + ": " + step + ": " + std::strerror(errno);
        }
        return std::nullopt;
    };
    UdpSocket socket(::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0));
    if (!socket.IsOpen()) {
        return fail("socket");
    }
    const int on = 1;
    const auto set = [&](int level, int name, const void* value, socklen_t size) {
        return ::setsockopt(socket.fd_, level, name, value, size) == 0;
    };
    if ((options.reuseAddress && !set(SOL_SOCKET, SO_REUSEADDR, &on, sizeof on)) ||
        (options.broadcast && !set(SOL_SOCKET, SO_BROADCAST, &on, sizeof on)) ||
        (options.sendBuffer > 0 && !set(SOL_SOCKET, SO_SNDBUF, &options.sendBuffer, sizeof(int)))) {
        return fail("setsockopt");
    }
    if (options.receiveBuffer > 0) {
        if (!set(SOL_SOCKET, SO_RCVBUF, &options.receiveBuffer, sizeof(int))) {
            return fail("setsockopt");
        }
        socket.GrowReceiveBuffer(options.receiveBuffer);
    }
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(options.port);
    address.sin_addr.s_addr = options.bindAddress;
    if (::bind(socket.fd_, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        return fail("bind");
    }
    return socket;
}

int UdpSocket::ReceiveBufferSize() const {
    int size = 0;
    socklen_t length = sizeof size;
    if (fd_ < 0 || ::getsockopt(fd_, SOL_SOCKET, SO_RCVBUF, &size, &length) != 0) {
        return 0;
    }
    return size;
}

void UdpSocket::GrowReceiveBuffer(int wanted) {
    // Linux caps SO_RCVBUF at net.core.rmem_max and reports twice what it granted.
    const long full = 2L * wanted;
    if (ReceiveBufferSize() >= full) {
        return;
    }
    ::setsockopt(fd_, SOL_SOCKET, SO_RCVBUFFORCE, &wanted, sizeof wanted); // fails without CAP_NET_ADMIN
    const int obtained = ReceiveBufferSize();
    if (obtained < full) {
        std::fprintf(stderr,
                     "receive buffer of %d bytes asked, %d granted (net.core.rmem_max caps it; raise it or "
                     "grant CAP_NET_ADMIN to keep bursts of datagrams)\n",
                     wanted, obtained / 2);
    }
}

void UdpSocket::ShutdownReceive() {
    if (fd_ >= 0) {
        ::shutdown(fd_, SHUT_RD);
    }
}

std::optional<UdpSocket::Received> UdpSocket::Receive(std::span<std::uint8_t> buffer) {
    Received received;
    socklen_t length = sizeof received.from;
    const ssize_t n = ::recvfrom(fd_, buffer.data(), buffer.size(), MSG_TRUNC,
                                 reinterpret_cast<sockaddr*>(&received.from), &length);
    if (n <= 0) {
        return std::nullopt; // an error, or the socket was shut down
    }
    received.size = static_cast<size_t>(n);
    return received;
}

bool UdpSocket::SendTo(in_addr_t address, std::uint16_t port, std::span<const std::uint8_t> datagram) {
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(port);
    to.sin_addr.s_addr = address;
    const ssize_t n =
        ::sendto(fd_, datagram.data(), datagram.size(), 0, reinterpret_cast<const sockaddr*>(&to), sizeof to);
    return n > 0;
}

bool UdpSocket::SendFrom(in_addr_t source, unsigned interfaceIndex, in_addr_t address, std::uint16_t port,
                         std::span<const std::uint8_t> datagram) {
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(port);
    to.sin_addr.s_addr = address;
    iovec iov{const_cast<std::uint8_t*>(datagram.data()), datagram.size()};
    alignas(cmsghdr) char control[CMSG_SPACE(sizeof(in_pktinfo))] = {};
    msghdr message{};
    message.msg_name = &to;
    message.msg_namelen = sizeof to;
    message.msg_iov = &iov;
    message.msg_iovlen = 1;
    message.msg_control = control;
    message.msg_controllen = sizeof control;
    cmsghdr* header = CMSG_FIRSTHDR(&message);
    header->cmsg_level = IPPROTO_IP;
    header->cmsg_type = IP_PKTINFO;
    header->cmsg_len = CMSG_LEN(sizeof(in_pktinfo));
    in_pktinfo info{};
    info.ipi_ifindex = static_cast<int>(interfaceIndex);
    info.ipi_spec_dst.s_addr = source;
    std::memcpy(CMSG_DATA(header), &info, sizeof info);
    return ::sendmsg(fd_, &message, 0) > 0;
}

bool UdpSocket::ConfigureMulticastSending() {
    const unsigned char ttl = 1;
    const unsigned char loop = 0;
    const int all = 0;
    return ::setsockopt(fd_, IPPROTO_IP, IP_MULTICAST_TTL, &ttl, sizeof ttl) == 0 &&
           ::setsockopt(fd_, IPPROTO_IP, IP_MULTICAST_LOOP, &loop, sizeof loop) == 0 &&
           ::setsockopt(fd_, IPPROTO_IP, IP_MULTICAST_ALL, &all, sizeof all) == 0;
}

std::optional<in_addr_t> ParseIpv4(const std::string& text) {
    in_addr address{};
    if (text.empty() || ::inet_pton(AF_INET, text.c_str(), &address) != 1) {
        return std::nullopt;
    }
    return address.s_addr;
}

std::string Ipv4Text(in_addr_t address) {
    char buffer[INET_ADDRSTRLEN] = {};
    in_addr a{};
    a.s_addr = address;
    ::inet_ntop(AF_INET, &a, buffer, sizeof buffer);
    return buffer;
}

} // namespace rf
