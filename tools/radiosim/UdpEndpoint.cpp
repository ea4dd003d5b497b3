#include "UdpEndpoint.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace rf {
namespace {

in_addr ToInAddr(const Ipv4Bytes& ip) {
    in_addr a{};
    std::memcpy(&a.s_addr, ip.data(), 4);
    return a;
}

Ipv4Bytes FromInAddr(const in_addr& a) {
    Ipv4Bytes ip{};
    std::memcpy(ip.data(), &a.s_addr, 4);
    return ip;
}

bool SetOption(int fd, int level, int name, int value) {
    return ::setsockopt(fd, level, name, &value, sizeof value) == 0;
}

} // namespace

UdpEndpoint::~UdpEndpoint() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

bool UdpEndpoint::Open(uint16_t port, std::string& error) {
    fd_ = ::socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd_ < 0) {
        error = std::string("socket: ") + std::strerror(errno);
        return false;
    }
    SetOption(fd_, SOL_SOCKET, SO_REUSEADDR, 1);
    SetOption(fd_, SOL_SOCKET, SO_BROADCAST, 1);
    SetOption(fd_, SOL_SOCKET, SO_RCVBUF, 4 << 20);
    SetOption(fd_, SOL_SOCKET, SO_SNDBUF, 4 << 20);
    SetOption(fd_, IPPROTO_IP, IP_PKTINFO, 1);
    SetOption(fd_, IPPROTO_IP, IP_TRANSPARENT, 1); // needs CAP_NET_ADMIN; without it radios keep their subnet
    SetOption(fd_, IPPROTO_IP, IP_MULTICAST_LOOP, 0);
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_port = htons(port);
    local.sin_addr.s_addr = htonl(INADDR_ANY);
    if (::bind(fd_, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0) {
        error = "bind port " + std::to_string(port) + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

bool UdpEndpoint::JoinGroup(const char* group, int ifindex, std::string& error) {
    ip_mreqn request{};
    ::inet_pton(AF_INET, group, &request.imr_multiaddr);
    request.imr_ifindex = ifindex;
    if (::setsockopt(fd_, IPPROTO_IP, IP_ADD_MEMBERSHIP, &request, sizeof request) != 0) {
        error = std::string("join ") + group + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

std::optional<Datagram> UdpEndpoint::Receive() {
    // Larger than any valid datagram, so that oversized ones are seen whole and can be refused.
    static thread_local std::vector<uint8_t> buffer(65536);
    sockaddr_in from{};
    alignas(cmsghdr) char control[CMSG_SPACE(sizeof(in_pktinfo))] = {};
    iovec vector{buffer.data(), buffer.size()};
    msghdr message{};
    message.msg_name = &from;
    message.msg_namelen = sizeof from;
    message.msg_iov = &vector;
    message.msg_iovlen = 1;
    message.msg_control = control;
    message.msg_controllen = sizeof control;
    const ssize_t n = ::recvmsg(fd_, &message, 0);
    if (n < 0) {
        return std::nullopt;
    }
    Datagram d;
    d.bytes.assign(buffer.begin(), buffer.begin() + n);
    d.source = FromInAddr(from.sin_addr);
    d.sourcePort = ntohs(from.sin_port);
    for (cmsghdr* c = CMSG_FIRSTHDR(&message); c != nullptr; c = CMSG_NXTHDR(&message, c)) {
        if (c->cmsg_level == IPPROTO_IP && c->cmsg_type == IP_PKTINFO) {
            in_pktinfo info{};
            std::memcpy(&info, CMSG_DATA(c), sizeof info);
            d.destination = FromInAddr(info.ipi_addr);
            d.ifindex = info.ipi_ifindex;
        }
    }
    return d;
}

bool UdpEndpoint::Send(const Ipv4Bytes& from, int ifindex, const Ipv4Bytes& to, uint16_t port,
                       std::span<const uint8_t> bytes) {
    sockaddr_in destination{};
    destination.sin_family = AF_INET;
    destination.sin_port = htons(port);
    destination.sin_addr = ToInAddr(to);
    alignas(cmsghdr) char control[CMSG_SPACE(sizeof(in_pktinfo))] = {};
    iovec vector{const_cast<uint8_t*>(bytes.data()), bytes.size()};
    msghdr message{};
    message.msg_name = &destination;
    message.msg_namelen = sizeof destination;
    message.msg_iov = &vector;
    message.msg_iovlen = 1;
    message.msg_control = control;
    message.msg_controllen = sizeof control;
    cmsghdr* c = CMSG_FIRSTHDR(&message);
    c->cmsg_level = IPPROTO_IP;
    c->cmsg_type = IP_PKTINFO;
    c->cmsg_len = CMSG_LEN(sizeof(in_pktinfo));
    in_pktinfo info{};
    info.ipi_ifindex = ifindex;
    info.ipi_spec_dst = ToInAddr(from);
    std::memcpy(CMSG_DATA(c), &info, sizeof info);
    return ::sendmsg(fd_, &message, MSG_NOSIGNAL) == static_cast<ssize_t>(bytes.size());
}

} // namespace rf
